// The X11 workspace's hearing of the X server: creations, maps, focus and property changes.
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_owner.h"
#include "platform/x11/x11_workspace.h"

#include <algorithm>
#include <QGuiApplication>

namespace vantrel {

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

} // namespace vantrel
