#include "app/menu_popover.h"

#include <gtest/gtest.h>
#include <QPointer>

namespace vantrel {
namespace {

const QRect screen(0, 0, 1280, 800);
const QSize size(360, 480);

TEST(PopoverPosition, HangsCentredBelowAnIconAtTheTop) {
    const QPoint at = popoverPosition(QRect(600, 0, 24, 24), size, screen);
    EXPECT_EQ(at.x() + size.width() / 2, 612);
    EXPECT_GT(at.y(), 23);
    EXPECT_LT(at.y(), 24 + 10);
}

TEST(PopoverPosition, OpensAboveAnIconInABottomPanel) {
    const QRect icon(600, 776, 24, 24);
    const QPoint at = popoverPosition(icon, size, screen);
    EXPECT_LT(at.y() + size.height(), icon.top());
    EXPECT_GE(at.y(), screen.top());
}

TEST(PopoverPosition, StaysOnScreenNearTheEdges) {
    const QPoint right = popoverPosition(QRect(1260, 0, 20, 20), size, screen);
    EXPECT_EQ(right.x() + size.width(), screen.right() + 1);
    const QPoint left = popoverPosition(QRect(0, 0, 20, 20), size, screen);
    EXPECT_EQ(left.x(), 0);

    // No room above or below: pushed up just enough to fit.
    const QRect small(0, 0, 800, 600);
    const QPoint middle = popoverPosition(QRect(400, 300, 20, 20), size, small);
    EXPECT_EQ(middle.y() + size.height(), small.bottom() + 1);

    // Larger than the screen: its top left stays visible.
    const QPoint huge = popoverPosition(QRect(400, 0, 20, 20), QSize(2000, 2000), screen);
    EXPECT_EQ(huge, screen.topLeft());
}

TEST(MenuPopover, GivesItsContentBackWhenReplacedOrDestroyed) {
    QWidget first;
    QWidget second;
    {
        MenuPopover popover;
        popover.setContent(&first);
        EXPECT_EQ(first.parentWidget(), &popover);

        popover.setContent(&second);
        EXPECT_EQ(first.parentWidget(), nullptr);
        EXPECT_EQ(second.parentWidget(), &popover);
    }
    // Destroying the popover left the shared content alive and free.
    EXPECT_EQ(second.parentWidget(), nullptr);
}

TEST(MenuPopover, ShowsNextToTheAnchorAndCloses) {
    QWidget content;
    content.setFixedSize(200, 100);
    MenuPopover popover;
    popover.setContent(&content);

    const QRect icon(300, 0, 24, 24);
    popover.showRelativeTo(icon);
    ASSERT_TRUE(popover.isShown());
    EXPECT_EQ(popover.size(), QSize(200, 100));
    EXPECT_EQ(popover.geometry().center().x(), icon.center().x());
    EXPECT_GT(popover.geometry().top(), 23);

    popover.close();
    EXPECT_FALSE(popover.isShown());
    popover.setContent(nullptr);
}

} // namespace
} // namespace vantrel
