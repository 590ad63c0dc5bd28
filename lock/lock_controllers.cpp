#include "lock/lock_controllers.h"

#include "app/storyboard.h"
#include "lock/app_locker_window_controller.h"

namespace vantrel {

AppLockerWindowController* existingLockController() {
    return storyboard::existingSharedController<AppLockerWindowController>(
        appLockerWindowControllerIdentifier);
}

void registerLockControllers() {
    storyboard::registerController(appLockerWindowControllerIdentifier,
                                   [] { return new AppLockerWindowController; });
}

} // namespace vantrel
