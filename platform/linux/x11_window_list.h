#pragma once

#include "platform/window_list.h"

#include <memory>

namespace vantrel {

namespace x11 {
class X11Connection;
}

// The windows the user sees now, front to back as the X server stacks them: the frames of managed
// windows viewable on the current desktop and the windows that bypass the window manager (menus,
// tooltips, this program's lock), with the owning process when the client runs on this host and
// the frame's bounds in Qt's coordinates from the main screen's top left corner.
class X11WindowList final : public WindowList {
public:
    explicit X11WindowList(std::shared_ptr<x11::X11Connection> connection);

    std::optional<QList<WindowDescription>> onScreenWindows() const override;

private:
    std::shared_ptr<x11::X11Connection> m_connection;
};

} // namespace vantrel
