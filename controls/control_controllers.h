#pragma once

namespace vantrel {

// Registers the controllers of the custom controls (the help bubble's) with the controller
// registry; call once at start-up.
void registerControlControllers();

} // namespace vantrel
