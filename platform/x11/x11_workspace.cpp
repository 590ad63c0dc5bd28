#include "platform/x11/x11_workspace.h"

#include "platform/input_held.h"
#include "platform/x11/x11_connection.h"

#include <QCoreApplication>
#include <unistd.h>
#include <utility>

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

void X11Workspace::scheduleSettle() {
    if (m_settleScheduled) {
        return;
    }
    m_settleScheduled = true;
    // After Qt has handed over all events read so far: one look at the desktop for a burst.
    QMetaObject::invokeMethod(this, &X11Workspace::settle, Qt::QueuedConnection);
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

std::optional<QString> X11Workspace::applicationIdOfWindow(xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    if (client != m_clients.cend()) {
        return client->window.applicationId;
    }
    const auto unmanaged = m_unmanaged.constFind(window);
    return unmanaged != m_unmanaged.cend() ? unmanaged->window.applicationId : std::nullopt;
}

} // namespace vantrel
