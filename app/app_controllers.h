#pragma once

namespace vantrel {

// Registers the shell's own controllers with the storyboard; called once before the delegate
// starts.
void registerAppControllers();

} // namespace vantrel
