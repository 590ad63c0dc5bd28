// The X11 workspace's side of activation: which window came forward, and bringing ours forward.
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_owner.h"
#include "platform/x11/x11_workspace.h"

namespace vantrel {

xcb_window_t X11Workspace::readFocusedClient() const {
    xcb_connection_t* c = m_connection->xcb();
    xcb_generic_error_t* error = nullptr;
    const x11::XcbPointer<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), &error));
    const x11::XcbPointer<xcb_generic_error_t> dropped(error);
    return reply && m_clients.contains(reply->focus) ? reply->focus : 0;
}

std::optional<WindowOwner> X11Workspace::focusedApplication() const {
    xcb_connection_t* c = m_connection->xcb();
    xcb_generic_error_t* error = nullptr;
    const x11::XcbPointer<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), &error));
    const x11::XcbPointer<xcb_generic_error_t> dropped(error);
    if (!reply || reply->focus == XCB_NONE || reply->focus == XCB_INPUT_FOCUS_POINTER_ROOT) {
        return std::nullopt;
    }
    const auto client = m_clients.constFind(reply->focus);
    const std::optional<qint64> pid = client != m_clients.cend()
                                          ? client->window.processIdentifier
                                          : x11::ownerOfWindow(*m_connection, reply->focus);
    if (!pid || *pid == m_ownPid) {
        return std::nullopt;
    }
    // A window not read yet (a new one the window manager focused at once) counts for every
    // application of its process.
    return WindowOwner{*pid,
                       client != m_clients.cend() ? client->window.applicationId : std::nullopt};
}

RunningApplicationRef X11Workspace::takeActivation(xcb_window_t window) {
    if (window == m_reportedWindow) {
        return nullptr;
    }
    m_reportedWindow = window;
    return applicationOfWindow(window);
}

RunningApplicationRef X11Workspace::applicationOfWindow(xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    if (client == m_clients.cend() || !client->window.processIdentifier.has_value()) {
        return nullptr;
    }
    const qint64 pid = *client->window.processIdentifier;
    if (RunningApplicationRef application = applicationOf({pid, client->window.applicationId})) {
        return application;
    }
    return bundledApplicationOfPid(pid);
}

xcb_window_t X11Workspace::readActiveWindow() const {
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), m_connection->atoms()._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1));
    const QList<quint32> active = x11::values32(reply.get());
    return active.isEmpty() ? 0 : active.first();
}

void X11Workspace::activateSelf(QWindow* keyWindow) {
    const xcb_window_t window = keyWindow != nullptr ? static_cast<xcb_window_t>(keyWindow->winId())
                                                     : frontMostWindowOfThisProcess();
    if (window == 0) {
        return;
    }
    if (keyWindow != nullptr && keyWindow->flags().testFlag(Qt::BypassWindowManagerHint)) {
        // No window manager hands an unmanaged window the focus. The current time: a stale one
        // would lose to the window manager's last change of focus.
        xcb_set_input_focus(m_connection->xcb(), XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        m_connection->flush();
        return;
    }
    // The window manager ignores requests for windows it has not taken on yet (a window just
    // shown); those wait for the client list to name them.
    if (readClientList().contains(window)) {
        m_pendingActivation = {};
        requestActivation(window);
    } else {
        m_pendingActivation = {keyWindow, window};
    }
}

void X11Workspace::requestActivation(xcb_window_t window) {
    // Source "pager": the user asked for it, so no focus-stealing prevention holds it back.
    xcb_ewmh_request_change_active_window(m_connection->ewmh(), m_connection->screenNumber(),
                                          window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                          m_lastServerTime, m_activeWindow);
    m_connection->flush();
}

xcb_window_t X11Workspace::frontMostWindowOfThisProcess() const {
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), m_connection->atoms()._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW,
        x11::longList));
    const QList<quint32> bottomToTop = x11::values32(reply.get());
    for (auto it = bottomToTop.crbegin(); it != bottomToTop.crend(); ++it) {
        const auto client = m_clients.constFind(*it);
        if (client != m_clients.cend() && client->window.processIdentifier == m_ownPid &&
            client->window.kind != x11::WindowKind::Dock) {
            return *it;
        }
    }
    return 0;
}

} // namespace vantrel
