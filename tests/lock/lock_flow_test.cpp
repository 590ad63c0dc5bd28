#include "controls/shake_animation.h"
#include "lock_test_fixture.h"

#include <QLabel>
#include <QTest>

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;

class LockFlowTest : public LockTest {};

// A locked application from launch to quit, through the platform doubles only.
TEST_F(LockFlowTest, LaunchLockUnlockHideAndRelaunch) {
    doubles.mainScreen.screenFrame = QRectF(0, 0, 2560, 1440);
    writeMasterPassword(QStringLiteral("open sesame"));
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 4242, QRectF(100, 100, 300, 200));
    QPixmap iconPixels(64, 64);
    iconPixels.fill(Qt::darkGreen);
    notes->appIcon = QIcon(iconPixels);

    // Covered the moment the launch is reported, with nothing left to wait for.
    doubles.workspace.launch({notes});
    ASSERT_TRUE(lockShown());
    EXPECT_TRUE(doubles.clock.requestedDelays.empty());
    // The lock frame is (100, 1440 - (100 + 500), 500, 500): back on screen that is the window's
    // top-left corner, grown to the minimum size.
    EXPECT_EQ(lockWindow()->geometry(), QRect(100, 100, 500, 500));
    EXPECT_EQ(lockContent()->lblTitleLockApp()->text(), QStringLiteral("Notes is locked"));
    const QImage shownIcon = lockContent()->imageViewLockApp()->pixmap().toImage();
    EXPECT_EQ(shownIcon.pixelColor(shownIcon.width() / 4, shownIcon.height() / 4),
              QColor(Qt::darkGreen));
    EXPECT_EQ(doubles.workspace.activationCount, 1);
    EXPECT_EQ(doubles.workspace.lastKeyWindow, lockWindow()->windowHandle());
    EXPECT_TRUE(isPendingLock(notes));
    EXPECT_EQ(notes->hideRequests, 0); // covered, never touched

    // A wrong password shakes the field; the lock stays.
    QTest::keyClicks(passwordField(), QStringLiteral("open sesame!"));
    const QPoint fieldRest = passwordField()->pos();
    QTest::keyClick(passwordField(), Qt::Key_Return);
    EXPECT_EQ(passwordField()->pos(), fieldRest + QPoint(10, 0));
    animations.advanceBy(50);
    EXPECT_EQ(passwordField()->pos(), fieldRest + QPoint(-10, 0));
    animations.advanceBy(250);
    EXPECT_EQ(passwordField()->pos(), fieldRest);
    EXPECT_TRUE(lockShown());

    // The right one unlocks until the application quits.
    QTest::keyClick(passwordField(), Qt::Key_Backspace);
    QTest::keyClick(passwordField(), Qt::Key_Return);
    EXPECT_FALSE(lockShown());
    EXPECT_FALSE(isPendingLock(notes));
    EXPECT_EQ(notes->activateRequests, 1); // the keyboard goes back to it
    doubles.workspace.activate(notes);
    EXPECT_FALSE(lockShown());
    EXPECT_EQ(doubles.workspace.activationCount, 1);

    // Quit and launched again: locked again; Control+Alt+Q hides it instead.
    doubles.workspace.terminate(notes);
    auto relaunched =
        lockedApplication(QStringLiteral("org.example.Notes"), 4343, QRectF(50, 60, 800, 600));
    launch(relaunched);
    ASSERT_TRUE(lockShown());
    EXPECT_EQ(lockWindow()->geometry(), QRect(50, 60, 800, 600));
    pressCloseShortcut(passwordField());
    EXPECT_TRUE(relaunched->hidden);
    EXPECT_TRUE(lockShown());
    doubles.clock.advance(299ms);
    EXPECT_TRUE(lockShown());
    doubles.clock.advance(1ms);
    EXPECT_FALSE(lockShown());

    // Still pending: the next time it comes forward it is covered again.
    relaunched->hidden = false;
    doubles.workspace.activate(relaunched);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(lockContent()->runningApp(), relaunched);
}

TEST_F(LockFlowTest, FullScreenModeWithoutAMainScreenDoesNotLock) {
    writeFlag(keys::isEnableFullscreenLockMode, true);
    doubles.mainScreen.screenFrame.reset();
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 300, 200));
    launch(notes);
    EXPECT_FALSE(lockShown());
    EXPECT_FALSE(isPendingLock(notes));
}

TEST_F(LockFlowTest, AnOpenPopupGivesWayToTheLock) {
    QWidget popover(nullptr, Qt::Popup);
    popover.resize(200, 100);
    popover.show();
    ASSERT_EQ(QApplication::activePopupWidget(), &popover);

    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 300, 200));
    launch(notes);

    EXPECT_TRUE(lockShown());
    EXPECT_FALSE(popover.isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

} // namespace
} // namespace vantrel::testing
