#pragma once

#include "platform/wayland/wlroots/wayland_workspace.h"

#include <memory>
#include <optional>

namespace vantrel::wayland {

// What the compositor at WAYLAND_DISPLAY offers, from a connection of its own that is closed
// again. Usable before Qt starts.
bool compositorAnswers(bool* offersLockProtocols);

// The workspace of a wlroots desktop on a connection of its own; nothing when the compositor
// does not answer or lacks the protocols. Call once the QApplication exists.
std::unique_ptr<WaylandWorkspace> makeWaylandWorkspace(WaylandWorkspace::Providers providers);

} // namespace vantrel::wayland
