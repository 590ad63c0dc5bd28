#pragma once

#include "platform/running_application.h"

namespace vantrel {

// Covers the application with the lock window when its bundle identifier is on the locked list:
// places the window (over its front window or the main screen), remembers the application as
// pending, takes the keyboard, fills in its icon and name, gives the lock window the focus and
// covers the locked applications' other windows.
// Does nothing for an application that is not locked or cannot be placed.
void lockApplication(const RunningApplicationRef& application);

// Lets the keyboard go when the lock holds it: the user went on to an application that is not
// locked.
void releaseLockKeyboard();

} // namespace vantrel
