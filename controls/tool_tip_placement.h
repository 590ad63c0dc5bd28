#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vantrel {

// The side of an anchor a popover opens on, by the platform's numbering. Qt's y grows downwards:
// MinY is above the anchor, MaxY below it.
enum class RectEdge { MinX = 0, MinY = 1, MaxX = 2, MaxY = 3 };

// Where a help bubble with a body of `content` size goes next to `anchor` (both in screen
// coordinates): on the preferred side, or the opposite one when the preferred side has no room
// on `screen`; slid along the side to stay on the screen, its arrow still pointing at the middle
// of the anchor's side.
struct ToolTipPlacement {
    RectEdge edge = RectEdge::MaxX;
    QRect body;      // the rounded body, on the screen
    QPoint arrowTip; // on the screen, just off the anchor
    QRect window;    // body, arrow and the room for the shadow
};

inline constexpr int toolTipArrowLength = 8;
inline constexpr int toolTipArrowHalfWidth = 8;
inline constexpr int toolTipCornerRadius = 6;
inline constexpr int toolTipAnchorGap = 2;
inline constexpr int toolTipShadowMargin = 10;
inline constexpr int toolTipScreenMargin = 4;

ToolTipPlacement placeToolTip(const QRect& anchor, const QSize& content, RectEdge preferred,
                              const QRect& screen);

} // namespace vantrel
