// The X11 workspace's hold on keys and clicks while a locked application's window may show.
#include "platform/input_held.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_workspace.h"

#include <QGuiApplication>

namespace vantrel {

bool X11Workspace::mayShowLocked(qint64 pid, const ApplicationHints& hints) {
    if (!m_providers.isLocked || !m_processes.of(pid).ofThisUser) {
        return false;
    }
    for (const Tracked& tracked : m_applications) {
        const std::optional<QString> id = tracked.application->bundleIdentifier();
        if (tracked.key.processIdentifier == pid && id && m_providers.isLocked(*id)) {
            return true;
        }
    }
    const QList<DesktopEntry> entries =
        m_providers.desktopEntries ? m_providers.desktopEntries() : QList<DesktopEntry>();
    const std::optional<DesktopEntry> entry =
        identifyApplication(m_processes.of(pid).facts, hints, entries);
    return entry && m_providers.isLocked(entry->id);
}

void X11Workspace::fillOnMap(QWindow* window, const QColor& color) {
    if (window == nullptr) {
        return;
    }
    // The server paints it the moment the window is mapped; without it the window shows what was
    // on the screen beneath until the program has painted.
    const quint32 pixel = color.rgb() & 0xFFFFFFu; // a 24-bit TrueColor visual
    xcb_change_window_attributes(m_connection->xcb(), static_cast<xcb_window_t>(window->winId()),
                                 XCB_CW_BACK_PIXEL, &pixel);
    m_connection->flush();
}

bool X11Workspace::grabKeyboard(QWindow* window) {
    if (window == nullptr) {
        return false;
    }
    const auto target = static_cast<xcb_window_t>(window->winId());
    m_hold.setKeyboardTarget(target);
    // A frozen keyboard goes to the target when it thaws.
    return m_hold.isFrozen() || m_grabs.grabKeyboardOn(target);
}

void X11Workspace::releaseKeyboard() {
    m_hold.setKeyboardTarget(0);
    if (!m_hold.isFrozen()) {
        m_grabs.ungrabKeyboard();
    }
}

void X11Workspace::freezeInput() {
    if (m_hold.isFrozen()) {
        // The sentinel may have frozen it.
        setInputHeld(true);
        followWatchdog();
        return;
    }
    // An open menu of ours holds the keyboard itself; taking it would close nothing and lose it.
    if (const QWindow* focus = QGuiApplication::focusWindow();
        focus != nullptr && focus->type() == Qt::Popup) {
        return;
    }
    // Windows awaited by a hold that ran out are no reason for this one to last.
    m_awaitedClients.clear();
    m_hold.freeze();
    setInputHeld(m_hold.isFrozen());
    followWatchdog();
}

void X11Workspace::followWatchdog() {
    // Once the watchdog has let the input go, this program no longer waits on it either: a
    // window awaited or a map never heard of (KWin lists some windows late, or never) would
    // otherwise keep files unread for good.
    QTimer::singleShot(m_hold.deadline() + std::chrono::milliseconds(10), this, [this] {
        if (isInputHeld() && !m_hold.isFrozen()) {
            m_awaitedClients.clear();
            setInputHeld(false);
        }
    });
}

bool X11Workspace::isLockedClient(xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    return client != m_clients.cend() && client->window.applicationId && m_providers.isLocked &&
           m_providers.isLocked(*client->window.applicationId);
}

void X11Workspace::holdInputUntilShown(xcb_window_t window) {
    freezeInput();
    if (m_hold.isFrozen()) {
        m_awaitedClients.insert(window);
    }
}

void X11Workspace::watchLockedWindows() {
    std::vector<std::uint32_t> topLevels;
    std::vector<std::uint32_t> clients;
    for (auto frame = m_frames.cbegin(); frame != m_frames.cend(); ++frame) {
        if (isLockedClient(frame.value())) {
            topLevels.push_back(frame.key());
        }
    }
    for (auto client = m_clients.cbegin(); client != m_clients.cend(); ++client) {
        if (isLockedClient(client.key())) {
            clients.push_back(client.key());
            // Under a window manager that does not reparent, the client itself is mapped.
            topLevels.push_back(client.key());
        }
    }
    m_sentinel.watch(std::move(topLevels), std::move(clients));
}

void X11Workspace::shieldApplications(const QList<WindowOwner>& owners) {
    m_shieldedOwners = owners;
    // The lock has looked at the windows taken on so far.
    m_shieldedAtCreation.removeIf([this](quint32 window) { return m_clients.contains(window); });
    applyShields();
}

void X11Workspace::applyShields() {
    QSet<xcb_window_t> windows = m_shieldedAtCreation;
    const auto shielded = [this](const Client& client) {
        const x11::ClientWindow& window = client.window;
        return std::any_of(
            m_shieldedOwners.cbegin(), m_shieldedOwners.cend(), [&](const WindowOwner& owner) {
                return window.processIdentifier == owner.processIdentifier &&
                       (!window.applicationId || window.applicationId == owner.applicationId);
            });
    };
    for (const QHash<quint32, Client>* clients : {&m_clients, &m_unmanaged}) {
        for (auto client = clients->cbegin(); client != clients->cend(); ++client) {
            if (shielded(client.value())) {
                windows.insert(client.key());
            }
        }
    }
    m_shield.shieldOnly(windows);
    if (m_marks)
        m_marks->apply(markRules());
}

kwin::WindowMarkRules X11Workspace::markRules() const {
    kwin::WindowMarkRulesBuilder rules(m_shieldedOwners, m_providers.lockedApplicationIds
                                                             ? m_providers.lockedApplicationIds()
                                                             : QStringList{});
    // KWin lists the windows it manages, by their client window.
    for (auto client = m_clients.cbegin(); client != m_clients.cend(); ++client) {
        const x11::ClientWindow& window = client.value().window;
        const bool pending = std::any_of(
            m_shieldedOwners.cbegin(), m_shieldedOwners.cend(), [&](const WindowOwner& owner) {
                return window.processIdentifier == owner.processIdentifier &&
                       (!window.applicationId || window.applicationId == owner.applicationId);
            });
        rules.addWindow(QStringLiteral("x11:") + QString::number(client.key()), pending,
                        window.processIdentifier,
                        window.applicationId ? QStringList{*window.applicationId} : QStringList{});
    }
    return rules.rules();
}

void X11Workspace::thawInput() {
    // A locked window the sentinel saw mapped is looked at first; the deadline still holds.
    if (m_sentinel.hasUnheardMaps()) {
        return;
    }
    m_awaitedClients.clear();
    m_hold.thaw();
    setInputHeld(false);
}

} // namespace vantrel
