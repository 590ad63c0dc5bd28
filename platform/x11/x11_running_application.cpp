#include "platform/x11/x11_running_application.h"

#include "platform/process/process_watch.h"
#include "platform/x11/x11_connection.h"

#include <xcb/xcb_icccm.h>

namespace vantrel {

X11RunningApplication::X11RunningApplication(Identity identity,
                                             std::weak_ptr<x11::X11Connection> connection,
                                             std::unique_ptr<ProcessExitWatch> exitWatch)
    : m_identity(std::move(identity))
    , m_connection(std::move(connection))
    , m_exitWatch(std::move(exitWatch)) {}

X11RunningApplication::~X11RunningApplication() = default;

QIcon X11RunningApplication::icon() const {
    if (m_identity.icon.isNull() && m_identity.iconLoader) {
        m_identity.icon = m_identity.iconLoader();
        m_identity.iconLoader = nullptr;
    }
    return m_identity.icon;
}

bool X11RunningApplication::isTerminated() const {
    return m_terminated || (m_exitWatch && m_exitWatch->hasExited());
}

bool X11RunningApplication::hide() {
    const std::shared_ptr<x11::X11Connection> connection = m_connection.lock();
    if (!connection || isTerminated()) {
        return false;
    }
    // Asked afresh: a window that came up a moment ago is hidden too.
    QList<xcb_window_t> windows = connection->clientWindowsOfProcess(m_identity.pid);
    if (m_identity.ownsWindow) {
        windows.removeIf([this](xcb_window_t window) { return !m_identity.ownsWindow(window); });
    }
    if (windows.isEmpty()) {
        return false;
    }
    for (xcb_window_t window : windows) {
        connection->sendToRoot(window, connection->wmChangeState(), XCB_ICCCM_WM_STATE_ICONIC);
    }
    connection->flush();
    return true;
}

bool X11RunningApplication::activate() {
    const std::shared_ptr<x11::X11Connection> connection = m_connection.lock();
    if (!connection || isTerminated() || m_windows.shownWindows.isEmpty()) {
        return false;
    }
    const QList<quint32> bottomToTop =
        x11::values32(connection
                          ->takeProperty(connection->requestProperty(
                              connection->root(), connection->atoms()._NET_CLIENT_LIST_STACKING,
                              XCB_ATOM_WINDOW, 1u << 16))
                          .get());
    xcb_window_t front = m_windows.shownWindows.last();
    for (auto it = bottomToTop.crbegin(); it != bottomToTop.crend(); ++it) {
        if (m_windows.shownWindows.contains(*it)) {
            front = *it;
            break;
        }
    }
    xcb_ewmh_request_change_active_window(connection->ewmh(), connection->screenNumber(), front,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                          XCB_WINDOW_NONE);
    xcb_set_input_focus(connection->xcb(), XCB_INPUT_FOCUS_PARENT, front, XCB_CURRENT_TIME);
    connection->flush();
    return true;
}

void X11RunningApplication::setWindows(const x11::ApplicationWindows& windows) {
    m_windows = windows;
    if (!windows.normalWindows.isEmpty()) {
        m_policy = windows.policy;
    }
}

void X11RunningApplication::markTerminated() {
    m_terminated = true;
    m_windows = {};
}

} // namespace vantrel
