#include "lock/lock_controllers.h"

#include "app/storyboard.h"
#include "lock/app_locker_window_controller.h"

namespace vantrel {

void registerLockControllers() {
    storyboard::registerController(appLockerWindowControllerIdentifier,
                                   [] { return new AppLockerWindowController; });
}

} // namespace vantrel
