#pragma once

#include "platform/x11/input_hold.h"

#include <memory>
#include <xcb/xcb.h>

namespace vantrel::x11 {

class X11Connection;

// Keyboard grabs on Qt's X connection. A frozen grab on the root holds keys and clicks alike:
// its pointer mode freezes the pointer too, without taking the pointer from anyone.
class X11InputGrabs final : public InputGrabs {
public:
    explicit X11InputGrabs(std::shared_ptr<X11Connection> connection);

    bool freeze() override;
    void release(std::uint32_t keyboardTarget) override;

    // Sends every key to the window from now on; false while another program holds the keyboard
    // or the window is not viewable.
    bool grabKeyboardOn(xcb_window_t window) const;
    void ungrabKeyboard() const;

private:
    bool grab(xcb_window_t window, bool frozen) const;

    std::shared_ptr<X11Connection> m_connection;
};

} // namespace vantrel::x11
