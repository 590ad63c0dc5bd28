#pragma once

#include "platform/running_application.h"

namespace vantrel {

// Covers the application with the lock window when its bundle identifier is on the locked list:
// places the window (over its front window or the main screen), remembers the application as
// pending, fills in its icon and name and brings this program forward with the keyboard.
// Does nothing for an application that is not locked or cannot be placed.
void lockApplication(const RunningApplicationRef& application);

} // namespace vantrel
