#include "app/menu_popover.h"

#include <gtest/gtest.h>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace vantrel {
namespace {

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

TEST(MenuPopover, HangsItsCardUnderAnIconAtTheTopAndCloses) {
    QWidget content;
    content.setFixedSize(200, 100);
    for (const auto backdrop :
         {MenuPopover::Backdrop::translucent, MenuPopover::Backdrop::masked}) {
        MenuPopover popover(backdrop);
        popover.setContent(&content);

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect icon(screen.center().x(), screen.top(), 24, 24);
        popover.showRelativeTo(icon);
        ASSERT_TRUE(popover.isShown());
        EXPECT_EQ(popover.arrowEdge(), ArrowEdge::top);
        const QRect card = popover.cardRect().translated(popover.pos());
        EXPECT_EQ(card.width(), 200);
        EXPECT_GE(card.top(), icon.bottom());
        EXPECT_EQ(card.left() + card.width() / 2, icon.left() + icon.width() / 2);
        // The content sits in the card, below the arrow.
        EXPECT_GT(content.mapTo(&popover, QPoint(0, 0)).y(), popover.cardRect().top());
        EXPECT_EQ(popover.mask().isEmpty(), backdrop == MenuPopover::Backdrop::translucent);

        popover.performClose();
        EXPECT_FALSE(popover.isShown());
        popover.performClose(); // closing a closed popover does nothing
        popover.setContent(nullptr);
    }
}

} // namespace
} // namespace vantrel
