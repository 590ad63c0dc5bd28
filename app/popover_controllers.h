#pragma once

namespace vantrel {

// Registers the popover's root ("ViewController") and the master password screen
// ("PasswordViewController") with the controller registry.
void registerPopoverControllers();

} // namespace vantrel
