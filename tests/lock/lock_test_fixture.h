#pragma once

#include "app/storyboard.h"
#include "controls/shake_animation.h"
#include "lock/app_locker_view_controller.h"
#include "lock/app_locker_window.h"
#include "lock/app_locker_window_controller.h"
#include "lock/keyboard_hold.h"
#include "lock/lock_controllers.h"
#include "lock/lock_covers.h"
#include "lock/pending_lock_apps.h"
#include "lock/running_application_monitor.h"
#include "platform/keyboard.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"
#include "tests/support/manual_animation_driver.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace vantrel::testing {

// The platform doubles, a monitor watching their workspace and the process-wide lock window put
// back to "not shown" around every test.
class LockTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerLockControllers();
        pendingLockApps().clear();
        if (AppLockerViewController* content = lockContent())
            content->setRunningApp(nullptr);
        startMonitoring();
    }

    void TearDown() override {
        stopMonitoring();
        // A shake left running would move the shared field under the next test.
        if (lockContent() != nullptr) {
            for (auto* shaking : passwordField()->findChildren<ShakeAnimation*>())
                shaking->stop();
        }
        if (lockWindow() != nullptr)
            lockWindow()->closeWindow();
        pendingLockApps().clear();
        if (AppLockerViewController* content = lockContent())
            content->setRunningApp(nullptr);
    }

    static AppLockerWindowController* lockController() {
        return storyboard::sharedController<AppLockerWindowController>(
            appLockerWindowControllerIdentifier);
    }
    static AppLockerWindow* lockWindow() {
        return lockController() != nullptr ? lockController()->window() : nullptr;
    }
    static AppLockerViewController* lockContent() {
        return lockController() != nullptr ? lockController()->contentViewController() : nullptr;
    }
    static QLineEdit* passwordField() { return lockContent()->secureTextFieldMasterPassword(); }
    static bool lockShown() { return lockWindow() != nullptr && lockWindow()->isVisible(); }

    // A regular application with one on-screen window, launched and on the locked list.
    std::shared_ptr<FakeRunningApplication> lockedApplication(const QString& identifier, qint64 pid,
                                                              const QRectF& windowBounds) {
        auto application = makeFakeApplication(identifier, pid, identifier.section(u'.', -1));
        QStringList ids = savedIdsList();
        ids.append(identifier);
        saveSavedIds(ids);
        addWindow(pid, windowBounds);
        return application;
    }

    void addWindow(qint64 pid, const QRectF& bounds) {
        if (!doubles.windowList.windows)
            doubles.windowList.windows = QList<WindowDescription>{};
        doubles.windowList.windows->append(WindowDescription{pid, bounds});
    }

    void launch(const RunningApplicationRef& application) {
        doubles.workspace.launch({application});
    }

    static void pressKey(QWidget* receiver, Qt::KeyboardModifiers modifiers, quint32 scanCode,
                         Qt::Key key = Qt::Key_Q, const QString& text = QStringLiteral("q")) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
        QApplication::sendEvent(receiver, &press);
    }

    static void pressCloseShortcut(QWidget* receiver, Qt::KeyboardModifiers extra = {}) {
        pressKey(receiver, Qt::ControlModifier | Qt::AltModifier | extra, qKeyPositionScanCode());
    }

    PlatformDoubles doubles;
    ManualAnimationDriver animations;
};

// Counts the key presses that reach a widget.
class KeyPressProbe final : public QObject {
public:
    explicit KeyPressProbe(QObject* watched) { watched->installEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            ++presses;
        return false;
    }
};

} // namespace vantrel::testing
