#include "lock/lock_application.h"

#include "app/storyboard.h"
#include "lock/app_locker_view_controller.h"
#include "lock/app_locker_window.h"
#include "lock/app_locker_window_controller.h"
#include "lock/keyboard_hold.h"
#include "lock/lock_controllers.h"
#include "lock/lock_covers.h"
#include "lock/lock_frame.h"
#include "lock/pending_lock_apps.h"
#include "platform/input_held.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "store/settings.h"

namespace vantrel {

void lockApplication(const RunningApplicationRef& application) {
    if (!application)
        return;
    const std::optional<QString> identifier = application->bundleIdentifier();
    if (!identifier)
        return;
    // Exact, case-sensitive match against the list as it is stored now.
    if (!savedIdsList().contains(*identifier))
        return;
    const std::optional<QRectF> frame = lockFrameFor(*application);
    if (!frame)
        return;

    addPendingLock(application);

    auto* controller = storyboard::sharedController<AppLockerWindowController>(
        appLockerWindowControllerIdentifier);
    AppLockerWindow* window = controller != nullptr ? controller->window() : nullptr;
    if (window != nullptr)
        window->setFrame(*frame);
    if (controller != nullptr) {
        controller->showWindow();
        // Right after the window is shown, in the same request stream: from here on no key
        // reaches the application, whoever has the focus.
        if (!controller->surfaceTakesKeyboard())
            controller->keyboardHold()->hold(window->windowHandle());
    }

    if (AppLockerViewController* content = AppLockerViewController::shared()) {
        content->setRunningApp(application);
        // The icon is a file: read once the held keys and clicks have gone to the lock.
        if (isInputHeld())
            QMetaObject::invokeMethod(content, &AppLockerViewController::refreshLockedAppInfo,
                                      Qt::QueuedConnection);
        else
            content->refreshLockedAppInfo();
    }

    if (platform().workspace != nullptr)
        platform().workspace->activateSelf(window != nullptr ? window->windowHandle() : nullptr);
    if (controller != nullptr) {
        controller->covers()->preferWindow(0);
        controller->covers()->refresh();
    }
}

void releaseLockKeyboard() {
    if (AppLockerWindowController* controller = existingLockController())
        controller->keyboardHold()->release();
}

} // namespace vantrel
