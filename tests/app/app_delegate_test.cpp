#include "app/app_controllers.h"
#include "app/app_delegate.h"
#include "app/storyboard.h"
#include "app/view_controller.h"
#include "launcher/launcher_identifiers.h"
#include "store/settings.h"
#include "tests/app/fake_status_item.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QWindow>

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using testing::FakeStatusItem;
using testing::makeFakeApplication;

class AppDelegateTest : public ::testing::Test {
protected:
    AppDelegateTest() {
        registerAppControllers();
        root()->showScreen(ViewControllers::password);
    }

    void makeDelegate(LockEngine lockEngine = {}, std::function<bool()> lockIsShown = {}) {
        auto item = std::make_unique<FakeStatusItem>();
        statusItem = item.get();
        AppDelegate::Parts parts;
        parts.statusItem = std::move(item);
        parts.lockEngine = std::move(lockEngine);
        parts.ratingPrompt = [this] { ++ratingPrompts; };
        parts.lockIsShown = std::move(lockIsShown);
        parts.announceWindowWithoutTray = [this] { ++announcements; };
        parts.bundleIdentifier = [] {
            return std::optional<QString>(login_launcher::mainBundleIdentifier);
        };
        delegate = std::make_unique<AppDelegate>(std::move(parts));
    }

    static ViewController* root() {
        return storyboard::sharedController<ViewController>(QStringLiteral("ViewController"));
    }

    testing::PlatformDoubles doubles;
    std::unique_ptr<AppDelegate> delegate;
    FakeStatusItem* statusItem = nullptr;
    int ratingPrompts = 0;
    int announcements = 0;
};

TEST_F(AppDelegateTest, StartUpStartsTheMonitorFirstAndSchedulesBothDelays) {
    int starts = 0;
    makeDelegate({[&] {
                      ++starts;
                      // Nothing else of the start-up has happened yet.
                      EXPECT_EQ(delegate->menuPopover().content(), nullptr);
                      EXPECT_EQ(statusItem->handlerChanges, 0);
                      EXPECT_TRUE(doubles.clock.requestedDelays.empty());
                      EXPECT_TRUE(doubles.loginItems.calls.isEmpty());
                  },
                  {}});
    doubles.defaults.setValue(keys::isLaunchAutomaticallyAtMacStartup, true);

    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(starts, 1);
    EXPECT_EQ(delegate->menuPopover().content(), root());
    EXPECT_TRUE(static_cast<bool>(statusItem->onClick));
    EXPECT_EQ(doubles.loginItems.calls.size(), 1);
    // The popover, the first look for a tray that went away, and the rating prompt.
    EXPECT_EQ(doubles.clock.requestedDelays,
              (std::vector<std::chrono::milliseconds>{1000ms, 2000ms, 300000ms}));
    // Start-up opens no window of its own.
    EXPECT_FALSE(delegate->menuPopover().isShown());

    // It runs once only.
    delegate->applicationDidFinishLaunching();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(doubles.clock.requestedDelays.size(), 3u);
    EXPECT_EQ(doubles.loginItems.calls.size(), 1);
}

TEST_F(AppDelegateTest, PopoverOpensByItselfAfterOneSecondOnThePasswordScreen) {
    makeDelegate();
    delegate->applicationDidFinishLaunching();
    root()->showScreen(ViewControllers::home);

    doubles.clock.advance(999ms);
    EXPECT_FALSE(delegate->menuPopover().isShown());

    doubles.clock.advance(1ms);
    ASSERT_TRUE(delegate->menuPopover().isShown());
    EXPECT_EQ(root()->currentVC(), ViewControllers::password);
    // Hangs under the icon, and the program comes forward with the popover as key window.
    const MenuPopover& popover = delegate->menuPopover();
    const QRect card = popover.cardRect().translated(popover.pos());
    EXPECT_GT(card.top(), statusItem->button->bottom());
    EXPECT_EQ(card.left() + card.width() / 2,
              statusItem->button->left() + statusItem->button->width() / 2);
    EXPECT_EQ(doubles.workspace.activationCount, 1);
    EXPECT_EQ(doubles.workspace.lastKeyWindow, delegate->menuPopover().windowHandle());

    // Only once.
    doubles.clock.advance(10s);
    EXPECT_EQ(doubles.workspace.activationCount, 1);
}

TEST_F(AppDelegateTest, ClickingTheIconTogglesThePopoverAndAlwaysOpensOnPassword) {
    makeDelegate();
    delegate->applicationDidFinishLaunching();

    statusItem->click();
    ASSERT_TRUE(delegate->menuPopover().isShown());
    EXPECT_EQ(root()->currentVC(), ViewControllers::password);
    EXPECT_EQ(doubles.workspace.activationCount, 1);

    // The user got through to the list; closing keeps the screen as it is.
    root()->showScreen(ViewControllers::home);
    statusItem->click();
    EXPECT_FALSE(delegate->menuPopover().isShown());
    EXPECT_EQ(root()->currentVC(), ViewControllers::home);
    EXPECT_EQ(doubles.workspace.activationCount, 1);

    // Left on the list, the next opening is on the password screen again.
    statusItem->click();
    EXPECT_TRUE(delegate->menuPopover().isShown());
    EXPECT_EQ(root()->currentVC(), ViewControllers::password);
}

TEST_F(AppDelegateTest, WithoutATrayTheScreensOpenInAWindowAndTheUserIsToldOnce) {
    makeDelegate();
    statusItem->button.reset();
    delegate->applicationDidFinishLaunching();

    doubles.clock.advance(2s);
    EXPECT_FALSE(delegate->menuPopover().isShown());
    ASSERT_NE(delegate->popoverWindow(), nullptr);
    EXPECT_TRUE(delegate->popoverWindow()->isVisible());
    EXPECT_EQ(delegate->popoverWindow()->content(), root());
    EXPECT_EQ(root()->currentVC(), ViewControllers::password);
    EXPECT_EQ(doubles.workspace.activationCount, 1);
    EXPECT_EQ(announcements, 1);

    // Closed and asked for again (another start, an activation): back on the password screen.
    root()->showScreen(ViewControllers::home);
    delegate->popoverWindow()->close();
    delegate->showPopover();
    EXPECT_TRUE(delegate->popoverWindow()->isVisible());
    EXPECT_EQ(root()->currentVC(), ViewControllers::password);
    EXPECT_EQ(announcements, 1) << "told once";

    // A tray that comes later takes the screens into the popover again.
    statusItem->button = QRect(700, 0, 22, 22);
    statusItem->click();
    EXPECT_TRUE(delegate->menuPopover().isShown());
    EXPECT_FALSE(delegate->popoverWindow()->isVisible());
    EXPECT_EQ(root()->parentWidget(), &delegate->menuPopover());
}

TEST_F(AppDelegateTest, TrayThatGoesAwayLeavesTheWindowAsTheWayIn) {
    makeDelegate();
    delegate->applicationDidFinishLaunching();
    doubles.clock.advance(5s);
    EXPECT_EQ(delegate->popoverWindow(), nullptr) << "with a tray nothing changes";
    EXPECT_EQ(announcements, 0);

    statusItem->button.reset(); // the panel quit
    doubles.clock.advance(2s);
    ASSERT_NE(delegate->popoverWindow(), nullptr);
    EXPECT_TRUE(delegate->popoverWindow()->isVisible());
    EXPECT_EQ(announcements, 1);

    // Closed, it stays closed until asked for: the check opens it only when the tray goes.
    delegate->popoverWindow()->close();
    doubles.clock.advance(10s);
    EXPECT_FALSE(delegate->popoverWindow()->isVisible());
}

TEST_F(AppDelegateTest, RatingPromptComesOnceAfterFiveMinutes) {
    makeDelegate();
    delegate->applicationDidFinishLaunching();

    doubles.clock.advance(299999ms);
    EXPECT_EQ(ratingPrompts, 0);
    doubles.clock.advance(1ms);
    EXPECT_EQ(ratingPrompts, 1);
    doubles.clock.advance(1h);
    EXPECT_EQ(ratingPrompts, 1);
}

TEST_F(AppDelegateTest, RatingPromptWaitsUntilNoLockIsUp) {
    bool lockShown = true;
    makeDelegate({}, [&] { return lockShown; });
    delegate->applicationDidFinishLaunching();

    doubles.clock.advance(300s);
    EXPECT_EQ(ratingPrompts, 0);
    doubles.clock.advance(2min);
    EXPECT_EQ(ratingPrompts, 0);

    lockShown = false;
    doubles.clock.advance(30s);
    EXPECT_EQ(ratingPrompts, 1);
    doubles.clock.advance(1h);
    EXPECT_EQ(ratingPrompts, 1);
}

TEST_F(AppDelegateTest, NothingScheduledRunsAfterTheDelegateIsGone) {
    makeDelegate();
    delegate->applicationDidFinishLaunching();
    delegate.reset();

    doubles.clock.advance(301s);

    EXPECT_EQ(ratingPrompts, 0);
    EXPECT_EQ(doubles.workspace.activationCount, 0);
    // The shared root outlives the popover that showed it.
    ASSERT_NE(root(), nullptr);
    EXPECT_EQ(root()->parent(), nullptr);
}

TEST_F(AppDelegateTest, ShutDownStopsTheMonitorOnceAndOnlyWhenStarted) {
    int starts = 0;
    int stops = 0;
    makeDelegate({[&] { ++starts; },
                  [&] {
                      EXPECT_EQ(starts, 1);
                      ++stops;
                  }});

    delegate->applicationWillTerminate();
    EXPECT_EQ(stops, 0);

    delegate->applicationDidFinishLaunching();
    delegate->applicationWillTerminate();
    delegate->applicationWillTerminate();
    EXPECT_EQ(stops, 1);
}

TEST_F(AppDelegateTest, LockEngineLeftEmptyIsSkipped) {
    makeDelegate();
    // An empty std::function would throw if it were called.
    EXPECT_NO_THROW(delegate->applicationDidFinishLaunching());
    EXPECT_NO_THROW(delegate->applicationWillTerminate());
}

TEST_F(AppDelegateTest, RunningLauncherIsToldToQuitAtStartUp) {
    makeDelegate();
    doubles.workspace.applications = {
        makeFakeApplication(login_launcher::launcherBundleIdentifier, 41),
        makeFakeApplication(login_launcher::launcherBundleIdentifier, 42)};

    delegate->applicationDidFinishLaunching();

    ASSERT_EQ(doubles.notifications.posted.size(), 1);
    EXPECT_EQ(doubles.notifications.posted.first().name, login_launcher::quitNotificationName);
    EXPECT_EQ(doubles.notifications.posted.first().object, QStringLiteral("com.corvane.vantrel"));
    // Launching at log-in was never switched on.
    EXPECT_TRUE(doubles.loginItems.calls.isEmpty());
}

} // namespace
} // namespace vantrel
