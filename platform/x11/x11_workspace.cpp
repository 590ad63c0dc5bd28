#include "platform/x11/x11_workspace.h"

#include "platform/freedesktop/entry_icon.h"
#include "platform/input_held.h"
#include "platform/process/application_identity.h"
#include "platform/process/process_facts.h"
#include "platform/process/process_watch.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_running_application.h"
#include "platform/x11/x11_window_owner.h"

#include <algorithm>
#include <QGuiApplication>
#include <unistd.h>

namespace vantrel {

X11Workspace::X11Workspace(std::shared_ptr<x11::X11Connection> connection, Providers providers,
                           QObject* parent)
    : Workspace(parent)
    , m_connection(std::move(connection))
    , m_providers(std::move(providers))
    , m_ownPid(::getpid())
    , m_grabs(m_connection)
    , m_hold(m_grabs) {
    // Listen first, then read: a change in between only costs a second look.
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Substructure: every top-level window created, mapped, unmapped, moved, resized or
    // restacked.
    m_connection->selectEvents({m_connection->root()},
                               XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    mergeBundled(nullptr);
    refreshClientList();
    updateApplications(nullptr, nullptr);
    m_activeWindow = readActiveWindow();
    m_reportedWindow = m_activeWindow;
}

X11Workspace::~X11Workspace() {
    m_hold.thaw();
    setInputHeld(false);
}

RunningApplicationList X11Workspace::runningApplications() const {
    mergeBundled(nullptr);
    RunningApplicationList applications;
    for (const Tracked& tracked : m_applications) {
        if (!tracked.application->isTerminated()) {
            applications.append(tracked.application);
        }
    }
    return applications;
}

bool X11Workspace::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if (m_shield.handleEvent(event)) {
        return false;
    }
    const auto& atoms = m_connection->atoms();
    switch (event->response_type & ~0x80) {
    case XCB_PROPERTY_NOTIFY: {
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        m_lastServerTime = change->time;
        if (change->window == m_connection->root()) {
            if (change->atom == atoms._NET_CLIENT_LIST) {
                m_clientListChanged = true;
                // The window list counts a frame once its client is listed, which a window
                // manager (openbox) may do after mapping the frame.
                m_windowsChanged = true;
                scheduleSettle();
            } else if (change->atom == atoms._NET_ACTIVE_WINDOW) {
                m_activeWindowChanged = true;
                freezeInput();
                scheduleSettle();
            }
        } else if ((change->atom == atoms._NET_WM_STATE ||
                    change->atom == atoms._NET_WM_WINDOW_TYPE) &&
                   m_clients.contains(change->window)) {
            m_changedClients.insert(change->window);
            scheduleSettle();
        }
        break;
    }
    case XCB_KEY_PRESS:
    case XCB_BUTTON_PRESS:
        m_lastServerTime = reinterpret_cast<const xcb_key_press_event_t*>(event)->time;
        break;
    // With the root's substructure selected, these come for top-level windows. What identifies a
    // new window's process is read as it is created, before it can be shown: never while the
    // user's input is held.
    case XCB_CREATE_NOTIFY: {
        const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
        if (created->parent == m_connection->root()) {
            noteCreated(created->window, created->override_redirect != 0);
        }
        break;
    }
    // A window mapped by the window manager may be a locked application's, and about to get the
    // focus.
    case XCB_MAP_NOTIFY: {
        const auto* mapped = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (mapped->event != m_connection->root()) {
            break;
        }
        if (mapped->override_redirect == 0) {
            m_sentinel.heard(mapped->window);
            // Under a window manager that does not reparent, a new client is mapped as it is;
            // under one that does, this is the frame of a client already awaited.
            if ((!m_clients.contains(mapped->window) && !m_frames.contains(mapped->window)) ||
                isLockedClient(m_frames.value(mapped->window, mapped->window))) {
                // A locked application's window coming back (restored, another desktop) gets
                // the focus next: input waits for the lock until the deadline.
                holdInputUntilShown(mapped->window);
            } else {
                freezeInput();
            }
        } else {
            // One of ours back on screen after someone else took it off.
            m_awaitedClients.remove(mapped->window);
            noteUnmanagedShown(mapped->window);
        }
        m_windowsChanged = true;
        scheduleSettle();
        break;
    }
    case XCB_REPARENT_NOTIFY: {
        // A window taken into a frame: a new one, before it is shown. The keys wait until it is
        // known whose it is, and no longer: the frame itself never becomes a client.
        const auto* reparented = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
        // Into a window of the root: a frame. Deeper in (a tray taking an icon) it is no client.
        if (reparented->event == m_connection->root() &&
            reparented->parent != m_connection->root() && isTopLevel(reparented->parent)) {
            m_frames.insert(reparented->parent, reparented->window);
            if (!m_clients.contains(reparented->window)) {
                holdInputUntilShown(reparented->window);
            }
        }
        m_windowsChanged = true;
        scheduleSettle();
        break;
    }
    case XCB_UNMAP_NOTIFY:
    case XCB_DESTROY_NOTIFY: {
        // Both events start with the same fields.
        const auto* gone = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
        if (gone->event == m_connection->root()) {
            if ((event->response_type & ~0x80) == XCB_DESTROY_NOTIFY) {
                m_shieldedAtCreation.remove(gone->window);
                m_frames.remove(gone->window);
                m_awaitedClients.remove(gone->window);
            }
            if (m_unmanaged.remove(gone->window) > 0 || m_unmanagedShown.removeAll(gone->window)) {
                m_unmanagedOrder.removeAll(gone->window);
                m_unmanagedChanged = true;
            }
            // A lock surface taken off the screen by another program: the focus falls back to
            // whatever was under it, so the keys and clicks wait until the surface is back.
            if ((event->response_type & ~0x80) == XCB_UNMAP_NOTIFY &&
                isShownWindowOfOurs(gone->window)) {
                holdInputUntilShown(gone->window);
            }
        }
        m_windowsChanged = true;
        scheduleSettle();
        break;
    }
    case XCB_CONFIGURE_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
    case XCB_GRAVITY_NOTIFY:
        m_windowsChanged = true;
        scheduleSettle();
        break;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT:
        noteFocusEvent(event);
        break;
    default:
        break;
    }
    // Qt still handles every event.
    return false;
}

void X11Workspace::scheduleSettle() {
    if (m_settleScheduled) {
        return;
    }
    m_settleScheduled = true;
    // After Qt has handed over all events read so far: one look at the desktop for a burst.
    QMetaObject::invokeMethod(this, &X11Workspace::settle, Qt::QueuedConnection);
}

void X11Workspace::noteFocusEvent(const void* message) {
    const auto* event = static_cast<const xcb_focus_in_event_t*>(message);
    // Grabs (a window manager's key binding, a menu) lend the keyboard and give it back.
    if (event->mode == XCB_NOTIFY_MODE_GRAB || event->mode == XCB_NOTIFY_MODE_UNGRAB ||
        event->detail == XCB_NOTIFY_DETAIL_POINTER || !m_clients.contains(event->event)) {
        return;
    }
    // Where the focus went is read once the burst is over: a focus-out does not say.
    m_focusChanged = true;
    if ((event->response_type & ~0x80) == XCB_FOCUS_IN) {
        m_sentinel.heard(event->event);
    }
    if ((event->response_type & ~0x80) == XCB_FOCUS_IN) {
        m_focusEntered = true;
        freezeInput();
    }
    scheduleSettle();
}

void X11Workspace::settle() {
    m_settleScheduled = false;
    RunningApplicationList launched;
    bool quit = false;
    const bool clientsChanged = m_clientListChanged || !m_changedClients.isEmpty() ||
                                m_unmanagedChanged || !m_unmanagedShown.isEmpty();
    m_unmanagedChanged = false;
    if (m_clientListChanged) {
        m_clientListChanged = false;
        refreshClientList();
    }
    if (!m_unmanagedShown.isEmpty()) {
        const QList<xcb_window_t> shown = std::exchange(m_unmanagedShown, {});
        readClients(shown, true, &m_unmanaged);
        for (xcb_window_t window : shown) {
            const auto client = m_unmanaged.find(window);
            if (client != m_unmanaged.end() && !m_unmanagedOrder.contains(window)) {
                client->window.unmanaged = true;
                client->window.hidden = false;
                m_unmanagedOrder.append(window);
            }
        }
    }
    if (!m_changedClients.isEmpty()) {
        QList<xcb_window_t> changed;
        for (xcb_window_t window : std::as_const(m_changedClients)) {
            if (m_clients.contains(window)) {
                changed.append(window);
            }
        }
        m_changedClients.clear();
        readClients(changed, false, &m_clients);
    }
    if (clientsChanged) {
        updateApplications(&launched, &quit);
    }

    if (m_pendingActivation.window.isNull()) {
        m_pendingActivation = {};
    } else if (m_clients.contains(m_pendingActivation.id)) {
        const xcb_window_t window = m_pendingActivation.id;
        m_pendingActivation = {};
        requestActivation(window);
    }

    // The focus first: the window manager names the window it activates before the focus gets
    // there, and a focus event of the same burst is older news.
    RunningApplicationRef activated;
    if (m_focusChanged) {
        m_focusChanged = false;
        // Away from every client (to this program's lock, say), a return is news; so is a
        // window that took the focus again, as one that fights a lock for it does.
        const xcb_window_t focused = readFocusedClient();
        if (focused == 0) {
            m_reportedWindow = 0;
        } else {
            if (m_focusEntered) {
                m_reportedWindow = 0;
            }
            if (RunningApplicationRef application = takeActivation(focused)) {
                activated = std::move(application);
            }
        }
        m_focusEntered = false;
    }
    if (m_activeWindowChanged || clientsChanged) {
        m_activeWindowChanged = false;
        m_activeWindow = readActiveWindow();
        if (RunningApplicationRef active = takeActivation(m_activeWindow)) {
            activated = std::move(active);
        }
    }
    const bool windowsChanged = m_windowsChanged;
    m_windowsChanged = false;
    if (windowsChanged || clientsChanged) {
        watchLockedWindows();
    }
    if (clientsChanged) {
        applyShields();
    }

    // Signals last, with the state complete: their handlers may call back.
    for (const RunningApplicationRef& application : std::as_const(launched)) {
        Q_EMIT runningApplicationsChanged(
            RunningApplicationsChange{RunningApplicationList{application}});
    }
    if (quit) {
        Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
    }
    if (activated) {
        Q_EMIT applicationActivated(activated);
    }
    if (windowsChanged) {
        Q_EMIT this->windowsChanged();
    }
    // A window the window manager is still taking on keeps the keys waiting, until the deadline.
    m_awaitedClients.removeIf([this](xcb_window_t window) { return m_clients.contains(window); });
    if (m_awaitedClients.isEmpty()) {
        thawInput();
    }
    if (m_bundledMergeDue && !m_hold.isFrozen()) {
        m_bundledMergeDue = false;
        // Bundled programs are read from files, which waited for the input to go.
        QMetaObject::invokeMethod(
            this,
            [this] {
                RunningApplicationList bundled;
                mergeBundled(&bundled);
                for (const RunningApplicationRef& application : std::as_const(bundled)) {
                    Q_EMIT runningApplicationsChanged(
                        RunningApplicationsChange{RunningApplicationList{application}});
                }
            },
            Qt::QueuedConnection);
    }
}

bool X11Workspace::isShownWindowOfOurs(xcb_window_t window) {
    // Qt has not heard of the unmap yet: a window of ours we hid ourselves is no longer visible.
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.cbegin(), windows.cend(), [&](const QWindow* ours) {
        return ours->handle() != nullptr && ours->isVisible() &&
               ours->flags().testFlag(Qt::BypassWindowManagerHint) &&
               static_cast<xcb_window_t>(ours->winId()) == window;
    });
}

bool X11Workspace::isTopLevel(xcb_window_t window) const {
    xcb_connection_t* c = m_connection->xcb();
    const x11::XcbPointer<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    return tree && tree->parent == m_connection->root();
}

void X11Workspace::noteCreated(xcb_window_t window, bool unmanaged) {
    QHash<xcb_window_t, Client> created;
    readClients({window}, true, &created);
    const Client client = created.value(window);
    const std::optional<qint64> pid = client.window.processIdentifier;
    if (!pid || *pid == m_ownPid) {
        return;
    }
    m_processes.learn(*pid);
    // A window shows the moment the window manager maps it, before this program hears of it: a
    // click then would reach it. So input waits from its creation, when it may be locked.
    if (!unmanaged && mayShowLocked(*pid, client.hints)) {
        m_shieldedAtCreation.insert(window);
        m_shield.shield(window);
        holdInputUntilShown(window);
    }
}

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

void X11Workspace::noteUnmanagedShown(xcb_window_t window) {
    const std::optional<qint64> pid = x11::ownerOfWindow(*m_connection, window);
    if (!pid || *pid == m_ownPid || m_unmanagedShown.contains(window)) {
        return;
    }
    m_unmanagedShown.append(window);
    // Menus and tooltips of a known application are nothing new; a program not known yet may be
    // showing a locked application's only window.
    const bool known =
        std::any_of(m_applications.cbegin(), m_applications.cend(),
                    [&](const Tracked& tracked) { return tracked.key.processIdentifier == *pid; });
    if (!known) {
        freezeInput();
    }
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

std::optional<QString> X11Workspace::applicationIdOfWindow(xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    if (client != m_clients.cend()) {
        return client->window.applicationId;
    }
    const auto unmanaged = m_unmanaged.constFind(window);
    return unmanaged != m_unmanaged.cend() ? unmanaged->window.applicationId : std::nullopt;
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
