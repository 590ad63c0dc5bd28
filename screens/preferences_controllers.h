#pragma once

namespace vantrel {

// Registers the preferences window's controller with the controller registry; call once at
// start-up.
void registerPreferencesControllers();

} // namespace vantrel
