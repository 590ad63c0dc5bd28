#include "lock/app_locker_window.h"
#include "lock/lock_frame.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const QRectF tallScreen(0, 0, 2560, 1440);

LockFrameInputs windowMode(qint64 pid, QList<WindowDescription> windows) {
    LockFrameInputs inputs;
    inputs.owner = {pid};
    inputs.onScreenWindows = std::move(windows);
    inputs.mainScreen = tallScreen;
    return inputs;
}

TEST(LockFrame, CoversTheFrontMostWindowOfTheApplicationAtLeast500By500) {
    // Windows of other processes in front, and a second window of the application further back.
    const auto inputs = windowMode(42, {{7, QRectF(0, 0, 800, 800)},
                                        {42, QRectF(100, 100, 300, 200)},
                                        {42, QRectF(600, 50, 900, 700)}});
    EXPECT_EQ(computeLockFrame(inputs), QRectF(100, 840, 500, 500)); // y = 1440 - (100 + 500)

    const auto large = windowMode(42, {{42, QRectF(300, 40, 1200, 700)}});
    EXPECT_EQ(computeLockFrame(large), QRectF(300, 700, 1200, 700));
}

TEST(LockFrame, FallsBackToTheWholeMainScreenWithoutAUsableWindow) {
    const QRectF wholeScreen(0, 0, 2560, 1440);
    EXPECT_EQ(computeLockFrame(windowMode(42, {})), wholeScreen);
    EXPECT_EQ(computeLockFrame(windowMode(42, {{7, QRectF(10, 10, 600, 600)}})), wholeScreen);
    EXPECT_EQ(computeLockFrame(windowMode(42, {{42, QRectF(10, 10, 0, 600)}})), wholeScreen);
    EXPECT_EQ(computeLockFrame(windowMode(42, {{42, std::nullopt}})), wholeScreen);
    // An owner that does not fit in 32 bits never matches, even when its low bits do.
    EXPECT_EQ(computeLockFrame(windowMode(42, {{(qint64{1} << 32) + 42, QRectF(1, 1, 600, 600)}})),
              wholeScreen);

    LockFrameInputs noList = windowMode(42, {});
    noList.onScreenWindows.reset();
    EXPECT_EQ(computeLockFrame(noList), wholeScreen);

    LockFrameInputs accessory = windowMode(42, {{42, QRectF(100, 100, 600, 600)}});
    accessory.activationPolicy = ActivationPolicy::Accessory;
    EXPECT_EQ(computeLockFrame(accessory), wholeScreen);
}

TEST(LockFrame, StandsOverTheApplicationsWindowsNeverOverItsTrayIcon) {
    WindowDescription icon;
    icon.ownerProcessIdentifier = 42;
    icon.bounds = QRectF(1100, 1414, 22, 22); // in a panel at the foot
    icon.trayIcon = true;
    EXPECT_EQ(computeLockFrame(windowMode(42, {icon, {42, QRectF(100, 100, 600, 600)}})),
              QRectF(100, 740, 600, 600));
    // With nothing but its icon on screen, it shows no window.
    EXPECT_EQ(computeLockFrame(windowMode(42, {icon})), tallScreen);
    LockFrameInputs fullScreen = windowMode(42, {icon, {42, QRectF(-1500, 100, 600, 600)}});
    fullScreen.fullScreenMode = true;
    fullScreen.screens = {tallScreen, QRectF(-1920, 0, 1920, 1440)};
    EXPECT_EQ(computeLockFrame(fullScreen), QRectF(-1920, 0, 1920, 1440));
}

TEST(LockFrame, FullScreenModeTakesTheScreenOfTheApplicationAndNoMinimum) {
    LockFrameInputs inputs = windowMode(42, {{42, QRectF(100, 100, 300, 200)}});
    inputs.fullScreenMode = true;
    inputs.mainScreen = QRectF(0, 0, 400, 300);
    EXPECT_EQ(computeLockFrame(inputs), QRectF(0, 0, 400, 300));

    // Two screens, the main one on the right: the application's window is on the left one,
    // 1080 high, whose bottom is 780 below the main screen's.
    inputs.mainScreen = QRectF(1920, 0, 1280, 300);
    inputs.screens = {QRectF(0, 0, 1280, 300), QRectF(-1920, 0, 1920, 1080)};
    inputs.onScreenWindows = QList<WindowDescription>{{42, QRectF(-1500, 400, 300, 200)}};
    EXPECT_EQ(computeLockFrame(inputs), QRectF(-1920, -780, 1920, 1080));
    EXPECT_EQ(windowGeometryForLockFrame(*computeLockFrame(inputs), inputs.mainScreen),
              QRect(0, 0, 1920, 1080));
    // Straddling both, it goes by its centre; off every screen or unseen, the main screen.
    inputs.onScreenWindows = QList<WindowDescription>{{42, QRectF(-100, 10, 300, 200)}};
    EXPECT_EQ(computeLockFrame(inputs), QRectF(0, 0, 1280, 300));
    inputs.onScreenWindows = QList<WindowDescription>{{42, QRectF(5000, 10, 300, 200)}};
    EXPECT_EQ(computeLockFrame(inputs), QRectF(0, 0, 1280, 300));
    inputs.onScreenWindows.reset();
    EXPECT_EQ(computeLockFrame(inputs), QRectF(0, 0, 1280, 300));

    inputs.mainScreen.reset();
    EXPECT_EQ(computeLockFrame(inputs), std::nullopt);
}

TEST(LockFrame, TheScreenShowingAWindowIsTheOneHoldingItsCentreElseTheMostOfIt) {
    const QList<QRectF> screens = {QRectF(0, 0, 100, 100), QRectF(100, 0, 100, 100)};
    EXPECT_EQ(screenShowing(QRectF(70, 10, 80, 10), screens), screens[1]); // centre at 110
    EXPECT_EQ(screenShowing(QRectF(-50, 10, 80, 10), screens), screens[0]);
    EXPECT_EQ(screenShowing(QRectF(150, -100, 100, 101), screens), screens[1]);
    EXPECT_EQ(screenShowing(QRectF(300, 300, 10, 10), screens), std::nullopt);
}

TEST(LockFrame, WithoutAMainScreenKeepsTheWindowListCoordinates) {
    LockFrameInputs inputs = windowMode(42, {{42, QRectF(100, 100, 300, 200)}});
    inputs.mainScreen.reset();
    EXPECT_EQ(computeLockFrame(inputs), QRectF(100, 100, 500, 500));

    // No window and no screen: the zero rectangle grown to the minimum.
    LockFrameInputs nothing = windowMode(42, {});
    nothing.mainScreen.reset();
    EXPECT_EQ(computeLockFrame(nothing), QRectF(0, 0, 500, 500));
}

TEST(LockWindowGeometry, TurnsLockFramesBackIntoTheWindowListsPlaceOnTheMainScreen) {
    EXPECT_EQ(windowGeometryForLockFrame(QRectF(100, 840, 500, 500), tallScreen),
              QRect(100, 100, 500, 500));
    EXPECT_EQ(windowGeometryForLockFrame(QRectF(0, 0, 2560, 1440), tallScreen),
              QRect(0, 0, 2560, 1440));
    // A main screen right of another one: its origin is the window list's origin.
    EXPECT_EQ(windowGeometryForLockFrame(QRectF(100, 840, 500, 500), QRectF(1920, 0, 2560, 1440)),
              QRect(2020, 100, 500, 500));
    EXPECT_EQ(windowGeometryForLockFrame(QRectF(100, 100, 500, 500), std::nullopt),
              QRect(100, 100, 500, 500));
}

} // namespace
} // namespace vantrel
