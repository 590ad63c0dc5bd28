#pragma once

#include "platform/window_list.h"

#include <memory>

namespace vantrel {

namespace x11 {
class X11Connection;
}

// The windows the user sees now: managed windows that are viewable on the current desktop, front
// to back (EWMH's stacking list reversed), with the owning process when the client runs on this
// host and the frame's bounds in Qt's global coordinates.
class X11WindowList final : public WindowList {
public:
    explicit X11WindowList(std::shared_ptr<x11::X11Connection> connection);

    std::optional<QList<WindowDescription>> onScreenWindows() const override;

private:
    std::shared_ptr<x11::X11Connection> m_connection;
};

} // namespace vantrel
