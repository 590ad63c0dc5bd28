#include "app/menu_popover.h"
#include "app/popover_presentation.h"
#include "app/status_item_controller.h"
#include "app/storyboard.h"
#include "app/view_controller.h"
#include "app_test_support.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace vantrel {
namespace {

using testing::FakeStatusBarButton;
using testing::PlatformDoubles;

QIcon someImage() {
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::black);
    return QIcon(pixmap);
}

TEST(StatusItemController, PutsTheImageOnTheButtonAndRunsOnClickWithTheItem) {
    auto button = std::make_unique<FakeStatusBarButton>();
    FakeStatusBarButton* fake = button.get();
    StatusItemController controller(someImage(), std::move(button));
    EXPECT_EQ(fake->imageCount, 1);
    EXPECT_FALSE(fake->lastImage.isNull());

    fake->click(); // no onClick yet: nothing happens
    StatusItem* clickedItem = nullptr;
    int clicks = 0;
    controller.onClick = [&](StatusItem& item) {
        clickedItem = &item;
        ++clicks;
    };
    fake->click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(clickedItem, controller.statusItem());
}

TEST(StatusItemController, HasAButtonOnlyWhileATrayShowsIt) {
    auto button = std::make_unique<FakeStatusBarButton>();
    FakeStatusBarButton* fake = button.get();
    fake->available = false;
    StatusItemController controller(someImage(), std::move(button));
    EXPECT_EQ(controller.statusItem()->button(), nullptr);
    fake->available = true;
    EXPECT_EQ(controller.statusItem()->button(), fake);
}

class PopoverPresentationTest : public ::testing::Test {
protected:
    PopoverPresentationTest() {
        testing::registerPopoverForTests();
        root = storyboard::sharedController<ViewController>(popoverRootIdentifier());
        popover.setContentViewController(root);
        auto button = std::make_unique<FakeStatusBarButton>();
        fake = button.get();
        controller = std::make_unique<StatusItemController>(someImage(), std::move(button));
        controller->onClick = [this](StatusItem& item) { togglePopover(popover, item); };
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        // Icons in the primary screen's top and bottom right corners.
        topIcon = QRect(screen.right() - 60, screen.top() + 2, 22, 22);
        bottomIcon = QRect(screen.right() - 60, screen.bottom() - 23, 22, 22);
        fake->geometry = topIcon;
    }

    PlatformDoubles doubles;
    ViewController* root = nullptr;
    MenuPopover popover{MenuPopover::Backdrop::translucent};
    FakeStatusBarButton* fake = nullptr;
    std::unique_ptr<StatusItemController> controller;
    QRect topIcon;
    QRect bottomIcon;
};

TEST_F(PopoverPresentationTest, ClickWhileClosedOpensOnThePasswordScreenAndActivates) {
    root->showScreen(ViewControllers::home);
    fake->click();
    EXPECT_TRUE(popover.isShown());
    EXPECT_EQ(root->currentVC(), ViewControllers::password);
    EXPECT_EQ(doubles.workspace.activationCount, 1);
    EXPECT_EQ(doubles.workspace.lastKeyWindow, popover.windowHandle());
}

TEST_F(PopoverPresentationTest, ClickWhileOpenClosesWithoutChangingTheScreen) {
    fake->click();
    root->showScreen(ViewControllers::home);
    fake->click();
    EXPECT_FALSE(popover.isShown());
    EXPECT_EQ(root->currentVC(), ViewControllers::home);
}

TEST_F(PopoverPresentationTest, ClosedFromOutsideItOpensOnThePasswordScreenAgain) {
    fake->click();
    root->showScreen(ViewControllers::addApp);
    popover.close(); // as a click outside the popup does
    fake->click();
    EXPECT_TRUE(popover.isShown());
    EXPECT_EQ(root->currentVC(), ViewControllers::password);
}

TEST_F(PopoverPresentationTest, WithoutAButtonNothingOpens) {
    fake->available = false;
    fake->click();
    showPopover(popover, *controller->statusItem());
    EXPECT_FALSE(popover.isShown());
    EXPECT_EQ(doubles.workspace.activationCount, 0);
}

TEST_F(PopoverPresentationTest, EachOpeningFollowsWhereTheIconIsAtThatMoment) {
    fake->click();
    EXPECT_EQ(popover.arrowEdge(), ArrowEdge::top);
    EXPECT_GE(popover.geometry().top() + popover.cardRect().top(), topIcon.bottom());
    fake->click();

    fake->geometry = bottomIcon;
    fake->click();
    EXPECT_EQ(popover.arrowEdge(), ArrowEdge::bottom);
    EXPECT_LE(popover.geometry().top() + popover.cardRect().bottom(), bottomIcon.top());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_LE(popover.geometry().right(), screen.right() + 10); // the shadow may spill over
}

TEST_F(PopoverPresentationTest, ShowPopoverDoesNotCloseAnOpenPopover) {
    showPopover(popover, *controller->statusItem());
    showPopover(popover, *controller->statusItem());
    EXPECT_TRUE(popover.isShown());
    EXPECT_EQ(doubles.workspace.activationCount, 2);
}

} // namespace
} // namespace vantrel
