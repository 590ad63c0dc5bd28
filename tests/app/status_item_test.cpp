#include "app/app_controllers.h"
#include "app/app_delegate.h"
#include "app/status_item_controller.h"
#include "app/storyboard.h"
#include "app/view_controller.h"
#include "tests/app/app_test_support.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using testing::FakeStatusBarButton;
using testing::PlatformDoubles;

QIcon someImage() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::black);
    return QIcon(pixmap);
}

TEST(StatusItemController, PutsTheImageOnTheButtonAndRunsOnClickWithItself) {
    auto button = std::make_unique<FakeStatusBarButton>();
    FakeStatusBarButton* fake = button.get();
    StatusItemController controller(someImage(), std::move(button));
    EXPECT_EQ(fake->imageCount, 1);
    EXPECT_FALSE(fake->lastImage.isNull());

    fake->click(); // no onClick yet: nothing happens
    StatusItem* clickedItem = nullptr;
    int clicks = 0;
    controller.setOnClick([&](StatusItem& item) {
        clickedItem = &item;
        ++clicks;
    });
    fake->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clickedItem, &controller);
    controller.setOnClick({});
    fake->click();
    EXPECT_EQ(clicks, 1);
}

TEST(StatusItemController, HasAButtonOnlyWhileATrayShowsIt) {
    auto button = std::make_unique<FakeStatusBarButton>();
    FakeStatusBarButton* fake = button.get();
    fake->available = false;
    fake->geometry = QRect(0, 0, 22, 22);
    StatusItemController controller(someImage(), std::move(button));
    EXPECT_EQ(controller.button(), nullptr);
    EXPECT_EQ(controller.buttonGeometry(), std::nullopt);

    // A tray that starts later gives the item its button; its place is read at every ask.
    fake->available = true;
    EXPECT_EQ(controller.button(), fake);
    EXPECT_EQ(controller.buttonGeometry(), QRect(0, 0, 22, 22));
    fake->geometry = QRect(700, 3, 22, 22);
    EXPECT_EQ(controller.buttonGeometry(), QRect(700, 3, 22, 22));
}

// The tray button, the delegate's toggling and the real popover and root together.
class StatusItemInTheShellTest : public ::testing::Test {
protected:
    StatusItemInTheShellTest() {
        registerAppControllers();
        auto button = std::make_unique<FakeStatusBarButton>();
        fake = button.get();
        AppDelegate::Parts parts;
        parts.statusItem = std::make_unique<StatusItemController>(someImage(), std::move(button));
        delegate = std::make_unique<AppDelegate>(std::move(parts));
        delegate->applicationDidFinishLaunching();
        root = storyboard::sharedController<ViewController>(QStringLiteral("ViewController"));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        topIcon = QRect(screen.right() - 60, screen.top() + 2, 22, 22);
        bottomIcon = QRect(screen.right() - 60, screen.bottom() - 23, 22, 22);
    }

    MenuPopover& popover() { return delegate->menuPopover(); }
    QRect cardOnScreen() { return popover().cardRect().translated(popover().pos()); }

    PlatformDoubles doubles;
    FakeStatusBarButton* fake = nullptr;
    std::unique_ptr<AppDelegate> delegate;
    ViewController* root = nullptr;
    QRect topIcon;
    QRect bottomIcon;
};

TEST_F(StatusItemInTheShellTest, EachOpeningFollowsWhereTheIconIsAtThatMoment) {
    fake->geometry = topIcon;
    fake->click();
    ASSERT_TRUE(popover().isShown());
    EXPECT_EQ(popover().arrowEdge(), ArrowEdge::top);
    EXPECT_GT(cardOnScreen().top(), topIcon.bottom());
    fake->click();
    EXPECT_FALSE(popover().isShown());

    fake->geometry = bottomIcon;
    fake->click();
    EXPECT_EQ(popover().arrowEdge(), ArrowEdge::bottom);
    EXPECT_LT(cardOnScreen().bottom(), bottomIcon.top());
    EXPECT_LE(cardOnScreen().right(), QGuiApplication::primaryScreen()->geometry().right());
    EXPECT_EQ(root->currentVC(), ViewControllers::password);
    // The password screen is what the popover shows.
    EXPECT_TRUE(root->containerView->findChild<QWidget*>(QStringLiteral("PasswordViewController"))
                    ->isVisible());
}

TEST_F(StatusItemInTheShellTest, BeforeThePanelPlacedTheIconItOpensInACornerWithoutArrow) {
    fake->geometry = QRect(0, 0, 22, 22); // what an icon not yet embedded reports
    doubles.clock.advance(1000ms);        // the automatic opening
    ASSERT_TRUE(popover().isShown());
    EXPECT_EQ(popover().arrowEdge(), ArrowEdge::none);
    EXPECT_GT(cardOnScreen().left(), 0);
}

TEST_F(StatusItemInTheShellTest, WithoutATrayTheAutomaticOpeningDoesNothing) {
    fake->available = false;
    doubles.clock.advance(1000ms);
    EXPECT_FALSE(popover().isShown());
}

} // namespace
} // namespace vantrel
