#include "app/storyboard.h"
#include "controls/control_controllers.h"
#include "controls/show_tool_tip.h"
#include "controls/tool_tip_placement.h"
#include "controls/tool_tip_view_controller.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace vantrel {
namespace {

const QRect screenArea(0, 0, 800, 600);

TEST(ToolTipPlacement, OpensBesideTheAnchorWithTheArrowAtItsMiddle) {
    const QRect anchor(100, 200, 20, 20);
    const ToolTipPlacement right = placeToolTip(anchor, QSize(150, 40), RectEdge::MaxX, screenArea);
    EXPECT_EQ(right.edge, RectEdge::MaxX);
    EXPECT_EQ(right.arrowTip, QPoint(anchor.right() + 1 + toolTipAnchorGap, anchor.center().y()));
    EXPECT_EQ(right.body.left(), right.arrowTip.x() + toolTipArrowLength);
    EXPECT_EQ(right.body.center().y(), anchor.center().y());
    EXPECT_TRUE(right.window.contains(right.body));

    const ToolTipPlacement below = placeToolTip(anchor, QSize(150, 40), RectEdge::MaxY, screenArea);
    EXPECT_EQ(below.arrowTip, QPoint(anchor.center().x(), anchor.bottom() + 1 + toolTipAnchorGap));
    EXPECT_EQ(below.body.top(), below.arrowTip.y() + toolTipArrowLength);
}

TEST(ToolTipPlacement, FlipsWhenThePreferredSideHasNoRoomAndStaysOnTheScreen) {
    const QRect nearRightEdge(700, 5, 20, 20);
    const ToolTipPlacement placed =
        placeToolTip(nearRightEdge, QSize(150, 60), RectEdge::MaxX, screenArea);
    EXPECT_EQ(placed.edge, RectEdge::MinX);
    EXPECT_EQ(placed.body.right(),
              nearRightEdge.left() - toolTipAnchorGap - toolTipArrowLength - 1);
    // Slid down to stay on the screen; the arrow still points at the anchor where it can.
    EXPECT_EQ(placed.body.top(), toolTipScreenMargin);
    EXPECT_EQ(placed.arrowTip.y(), placed.body.top() + toolTipCornerRadius + toolTipArrowHalfWidth);
}

// The help buttons sit in the tray's popover, itself a popup under the bubble.
TEST(ShowToolTipInAPopup, OneClickOnAnotherHelpButtonOpensItsBubble) {
    registerControlControllers();
    QWidget popover(nullptr, Qt::Popup);
    auto* first = new QPushButton(QStringLiteral("i"));
    auto* second = new QPushButton(QStringLiteral("i"));
    auto* layout = new QHBoxLayout(&popover);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch();
    popover.setGeometry(420, 320, 300, 80);
    QObject::connect(second, &QPushButton::clicked, second,
                     [second] { showToolTip(second, QStringLiteral("Second"), RectEdge::MaxY); });
    popover.show();
    showToolTip(first, QStringLiteral("First"), RectEdge::MaxY);
    ToolTipPopover* bubble =
        storyboard::sharedController<ToolTipViewController>(toolTipViewControllerIdentifier)
            ->popover();
    ASSERT_TRUE(bubble->isVisible());

    // While popups are open the window system hands the top one every press, wherever it falls.
    const QPoint onSecond = second->mapToGlobal(second->rect().center());
    QWindow* bubbleWindow = bubble->windowHandle();
    QTest::mousePress(bubbleWindow, Qt::LeftButton, Qt::NoModifier,
                      bubbleWindow->mapFromGlobal(onSecond));
    QCoreApplication::processEvents();
    ASSERT_TRUE(popover.isVisible());
    QWindow* popoverWindow = popover.windowHandle();
    QTest::mouseRelease(popoverWindow, Qt::LeftButton, Qt::NoModifier,
                        popoverWindow->mapFromGlobal(onSecond));
    QCoreApplication::processEvents();

    EXPECT_TRUE(bubble->isVisible());
    EXPECT_EQ(bubble->anchorView(), second);
    bubble->hide();
}

class ShowToolTipTest : public ::testing::Test {
protected:
    ShowToolTipTest() {
        registerControlControllers();
        auto* layout = new QHBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addStretch();
        window.setGeometry(50, 50, 300, 80);
        window.show();
    }
    ~ShowToolTipTest() override { popover()->hide(); }

    ToolTipViewController* controller() const {
        return storyboard::sharedController<ToolTipViewController>(toolTipViewControllerIdentifier);
    }
    ToolTipPopover* popover() const { return controller()->popover(); }

    QWidget window;
    QPushButton* first = new QPushButton(QStringLiteral("i"));
    QPushButton* second = new QPushButton(QStringLiteral("i"));
};

TEST_F(ShowToolTipTest, ShowsEachMessageAtTheRightOfItsButtonInTheOneBubble) {
    ASSERT_NE(controller(), nullptr);
    showToolTip(first, QStringLiteral("List the apps that are currently running on this computer."),
                RectEdge::MaxX);
    ToolTipPopover* bubble = popover();
    ASSERT_TRUE(bubble->isVisible());
    EXPECT_EQ(bubble->behavior(), ToolTipPopover::Behavior::Transient);
    EXPECT_FALSE(bubble->animates());
    EXPECT_EQ(bubble->contentViewController(), controller());
    EXPECT_EQ(controller()->lblMessage()->text(),
              QStringLiteral("List the apps that are currently running on this computer."));
    const QRect firstOnScreen(first->mapToGlobal(QPoint(0, 0)), first->size());
    EXPECT_EQ(bubble->placement().edge, RectEdge::MaxX);
    EXPECT_EQ(bubble->placement().arrowTip,
              QPoint(firstOnScreen.right() + 1 + toolTipAnchorGap, firstOnScreen.center().y()));
    EXPECT_EQ(bubble->geometry(), bubble->placement().window);
    EXPECT_EQ(bubble->contentSize(), controller()->view()->size());
    EXPECT_TRUE(QRect(QPoint(0, 0), bubble->size()).contains(controller()->view()->geometry()));

    showToolTip(second, QStringLiteral("Manually add your apps."), RectEdge::MaxX);
    EXPECT_EQ(popover(), bubble);
    EXPECT_TRUE(bubble->isVisible());
    EXPECT_EQ(bubble->anchorView(), second);
    EXPECT_EQ(controller()->lblMessage()->text(), QStringLiteral("Manually add your apps."));
    const QRect secondOnScreen(second->mapToGlobal(QPoint(0, 0)), second->size());
    EXPECT_EQ(bubble->placement().arrowTip.x(), secondOnScreen.right() + 1 + toolTipAnchorGap);
}

TEST_F(ShowToolTipTest, AClickOutsideClosesItAndEmptiesTheLabel) {
    showToolTip(first, QStringLiteral("First"), RectEdge::MaxX);
    ToolTipPopover* bubble = popover();
    ASSERT_TRUE(bubble->isVisible());
    QLabel* label = controller()->lblMessage();

    // Qt hands a press anywhere else to the open popup, which closes.
    const QPointF outside(-20, -20);
    QMouseEvent press(QEvent::MouseButtonPress, outside, bubble->mapToGlobal(outside),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bubble, &press);
    EXPECT_FALSE(bubble->isVisible());
    EXPECT_EQ(label->text(), QString());

    showToolTip(second, QStringLiteral("Second"), RectEdge::MaxX);
    EXPECT_TRUE(bubble->isVisible());
    EXPECT_EQ(controller()->lblMessage()->text(), QStringLiteral("Second"));
}

TEST_F(ShowToolTipTest, ANullAnchorShowsNothing) {
    showToolTip(nullptr, QStringLiteral("Nowhere"), RectEdge::MaxX);
    EXPECT_FALSE(popover()->isVisible());
}

} // namespace
} // namespace vantrel
