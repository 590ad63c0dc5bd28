#include "app/popover_placement.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const QSize popover(340, 469);
const QRect screen(0, 0, 1920, 1080);
const QRect underTopPanel(0, 28, 1920, 1052);
const QRect overBottomPanel(0, 0, 1920, 1040);

TEST(PopoverPlacement, HangsBelowAnIconOfATopPanelCentredOnIt) {
    const QRect icon(1000, 3, 22, 22);
    const PopoverPlacement placement = placePopover(popover, icon, screen, underTopPanel);
    EXPECT_EQ(placement.arrowEdge, ArrowEdge::top);
    // Not over the panel, even though the icon ends above the work area's top.
    EXPECT_EQ(placement.topLeft.y(), 28);
    const int iconMiddle = icon.left() + icon.width() / 2;
    EXPECT_EQ(placement.topLeft.x() + popover.width() / 2, iconMiddle);
    EXPECT_EQ(placement.topLeft.x() + placement.arrowCenter, iconMiddle);
}

TEST(PopoverPlacement, StandsAboveAnIconOfABottomPanel) {
    const QRect icon(1000, 1049, 22, 22);
    const PopoverPlacement placement = placePopover(popover, icon, screen, overBottomPanel);
    EXPECT_EQ(placement.arrowEdge, ArrowEdge::bottom);
    EXPECT_EQ(placement.topLeft.y() + popover.height(), 1040);
    EXPECT_EQ(placement.topLeft.x() + placement.arrowCenter, icon.left() + icon.width() / 2);
}

TEST(PopoverPlacement, KeepsOnTheScreenNearItsEdgesWithTheArrowStillOnTheIcon) {
    const QRect rightmost(1896, 1049, 22, 22);
    PopoverPlacement placement = placePopover(popover, rightmost, screen, overBottomPanel);
    EXPECT_EQ(placement.topLeft.x() + popover.width(), 1920 - popoverScreenMargin);
    EXPECT_EQ(placement.topLeft.x() + placement.arrowCenter, rightmost.left() + 11);

    const QRect leftmost(2, 3, 22, 22);
    placement = placePopover(popover, leftmost, screen, underTopPanel);
    EXPECT_EQ(placement.topLeft.x(), popoverScreenMargin);
    EXPECT_EQ(placement.arrowCenter, leftmost.left() + 11 - popoverScreenMargin);
}

TEST(PopoverPlacement, TrustsTheIconWhenNoPanelReservesRoom) {
    const QRect icon(700, 1050, 24, 24);
    const PopoverPlacement placement = placePopover(popover, icon, screen, screen);
    EXPECT_EQ(placement.arrowEdge, ArrowEdge::bottom);
    EXPECT_EQ(placement.topLeft.y(), 1050 - popoverGap - popover.height());
}

TEST(PopoverPlacement, OpensInTheCornerNextToThePanelBeforeTheIconIsPlaced) {
    // What an XEmbed icon reports before the panel has embedded it, and no geometry at all.
    for (const QRect& unplaced : {QRect(0, 0, 22, 22), QRect()}) {
        PopoverPlacement placement = placePopover(popover, unplaced, screen, overBottomPanel);
        EXPECT_EQ(placement.arrowEdge, ArrowEdge::none);
        EXPECT_EQ(placement.topLeft, QPoint(1920 - popoverScreenMargin - popover.width(),
                                            1040 - popoverGap - popover.height()));

        placement = placePopover(popover, unplaced, screen, underTopPanel);
        EXPECT_EQ(placement.arrowEdge, ArrowEdge::none);
        EXPECT_EQ(placement.topLeft,
                  QPoint(1920 - popoverScreenMargin - popover.width(), 28 + popoverGap));
    }
    // A vertical panel on the left: its lower end, where trays sit.
    const PopoverPlacement left = placePopover(popover, QRect(), screen, QRect(48, 0, 1872, 1080));
    EXPECT_EQ(left.topLeft, QPoint(48 + popoverGap, 1080 - popoverScreenMargin - popover.height()));
    // No panel at all: the top right corner.
    const PopoverPlacement none = placePopover(popover, QRect(), screen, screen);
    EXPECT_EQ(none.topLeft, QPoint(1920 - popoverScreenMargin - popover.width(), popoverGap));
}

TEST(PopoverPlacement, WorksOnAScreenAwayFromTheOrigin) {
    const QRect second(1920, 200, 1280, 800);
    const QRect secondAvailable(1920, 200, 1280, 770);
    const QRect icon(3000, 974, 22, 22);
    const PopoverPlacement placement = placePopover(popover, icon, second, secondAvailable);
    EXPECT_EQ(placement.arrowEdge, ArrowEdge::bottom);
    EXPECT_EQ(placement.topLeft.y() + popover.height(), 970);
    EXPECT_EQ(placement.topLeft.x() + placement.arrowCenter, icon.left() + 11);
    // An icon on another screen than the one given is not trusted.
    EXPECT_EQ(placePopover(popover, QRect(10, 10, 22, 22), second, secondAvailable).arrowEdge,
              ArrowEdge::none);
}

TEST(PopoverPlacement, APopoverTallerThanTheRoomStartsAtTheTop) {
    const QSize tall(340, 1200);
    const PopoverPlacement placement =
        placePopover(tall, QRect(1000, 1049, 22, 22), screen, overBottomPanel);
    EXPECT_EQ(placement.topLeft.y(), 0);
}

TEST(PopoverPlacement, ArrowStaysClearOfTheRoundedCorners) {
    EXPECT_EQ(clampArrowCenter(3, 340, 12, 11), 23);
    EXPECT_EQ(clampArrowCenter(400, 340, 12, 11), 317);
    EXPECT_EQ(clampArrowCenter(170, 340, 12, 11), 170);
    EXPECT_EQ(clampArrowCenter(0, 30, 12, 11), 15);
}

} // namespace
} // namespace vantrel
