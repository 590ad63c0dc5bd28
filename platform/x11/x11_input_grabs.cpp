#include "platform/x11/x11_input_grabs.h"

#include "platform/x11/x11_connection.h"

namespace vantrel::x11 {

X11InputGrabs::X11InputGrabs(std::shared_ptr<X11Connection> connection)
    : m_connection(std::move(connection)) {}

bool X11InputGrabs::freeze() {
    return grab(m_connection->root(), true);
}

void X11InputGrabs::release(std::uint32_t keyboardTarget) {
    xcb_connection_t* c = m_connection->xcb();
    // The keys held go to the grab that replaces the frozen one, or, with none, where the focus is
    // now. A target not on screen yet gets none of them, nor does anyone else.
    if (keyboardTarget == 0) {
        xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    } else if (!grab(keyboardTarget, false)) {
        grab(m_connection->root(), false);
    }
    // Clicks go where the pointer is: onto a cover by now, when the window is locked.
    xcb_allow_events(c, XCB_ALLOW_ASYNC_KEYBOARD, XCB_CURRENT_TIME);
    xcb_allow_events(c, XCB_ALLOW_ASYNC_POINTER, XCB_CURRENT_TIME);
    m_connection->flush();
}

bool X11InputGrabs::grabKeyboardOn(xcb_window_t window) const {
    return grab(window, false);
}

void X11InputGrabs::ungrabKeyboard() const {
    xcb_ungrab_keyboard(m_connection->xcb(), XCB_CURRENT_TIME);
    m_connection->flush();
}

bool X11InputGrabs::grab(xcb_window_t window, bool frozen) const {
    xcb_connection_t* c = m_connection->xcb();
    const auto mode = frozen ? XCB_GRAB_MODE_SYNC : XCB_GRAB_MODE_ASYNC;
    xcb_generic_error_t* error = nullptr;
    const XcbPointer<xcb_grab_keyboard_reply_t> reply(xcb_grab_keyboard_reply(
        c, xcb_grab_keyboard(c, 0, window, XCB_CURRENT_TIME, mode, mode), &error));
    const XcbPointer<xcb_generic_error_t> dropped(error);
    return reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
}

} // namespace vantrel::x11
