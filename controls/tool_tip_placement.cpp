#include "controls/tool_tip_placement.h"

#include <algorithm>

namespace vantrel {
namespace {

bool isHorizontal(RectEdge edge) {
    return edge == RectEdge::MinX || edge == RectEdge::MaxX;
}

RectEdge opposite(RectEdge edge) {
    switch (edge) {
    case RectEdge::MinX:
        return RectEdge::MaxX;
    case RectEdge::MaxX:
        return RectEdge::MinX;
    case RectEdge::MinY:
        return RectEdge::MaxY;
    case RectEdge::MaxY:
        return RectEdge::MinY;
    }
    return edge;
}

// Keeps [start, start + length) inside [low, high) when it fits, else pins it to low.
int slideInto(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}

ToolTipPlacement placeOn(RectEdge edge, const QRect& anchor, const QSize& content) {
    ToolTipPlacement placement;
    placement.edge = edge;
    const int reach = toolTipAnchorGap + toolTipArrowLength;
    const QPoint middle = anchor.center();
    switch (edge) {
    case RectEdge::MaxX:
        placement.arrowTip = QPoint(anchor.right() + 1 + toolTipAnchorGap, middle.y());
        placement.body = QRect(
            QPoint(anchor.right() + 1 + reach, middle.y() - (content.height() - 1) / 2), content);
        break;
    case RectEdge::MinX:
        placement.arrowTip = QPoint(anchor.left() - toolTipAnchorGap, middle.y());
        placement.body = QRect(QPoint(anchor.left() - reach - content.width(),
                                      middle.y() - (content.height() - 1) / 2),
                               content);
        break;
    case RectEdge::MaxY:
        placement.arrowTip = QPoint(middle.x(), anchor.bottom() + 1 + toolTipAnchorGap);
        placement.body = QRect(
            QPoint(middle.x() - (content.width() - 1) / 2, anchor.bottom() + 1 + reach), content);
        break;
    case RectEdge::MinY:
        placement.arrowTip = QPoint(middle.x(), anchor.top() - toolTipAnchorGap);
        placement.body = QRect(
            QPoint(middle.x() - (content.width() - 1) / 2, anchor.top() - reach - content.height()),
            content);
        break;
    }
    return placement;
}

bool fitsAcross(const ToolTipPlacement& placement, const QRect& screen) {
    return isHorizontal(placement.edge)
               ? placement.body.left() >= screen.left() && placement.body.right() <= screen.right()
               : placement.body.top() >= screen.top() && placement.body.bottom() <= screen.bottom();
}

} // namespace

ToolTipPlacement placeToolTip(const QRect& anchor, const QSize& content, RectEdge preferred,
                              const QRect& screen) {
    const QRect room = screen.adjusted(toolTipScreenMargin, toolTipScreenMargin,
                                       -toolTipScreenMargin, -toolTipScreenMargin);
    ToolTipPlacement placement = placeOn(preferred, anchor, content);
    if (!fitsAcross(placement, room)) {
        const ToolTipPlacement flipped = placeOn(opposite(preferred), anchor, content);
        if (fitsAcross(flipped, room))
            placement = flipped;
    }

    // Slide the body along the anchor's side to stay on the screen; the arrow keeps pointing at
    // the anchor, but never leaves the straight part of the body's edge.
    const int inset = toolTipCornerRadius + toolTipArrowHalfWidth;
    if (isHorizontal(placement.edge)) {
        placement.body.moveTop(
            slideInto(placement.body.top(), content.height(), room.top(), room.bottom() + 1));
        const int low = placement.body.top() + inset;
        const int high = placement.body.bottom() - inset;
        if (low <= high)
            placement.arrowTip.setY(std::clamp(placement.arrowTip.y(), low, high));
    } else {
        placement.body.moveLeft(
            slideInto(placement.body.left(), content.width(), room.left(), room.right() + 1));
        const int low = placement.body.left() + inset;
        const int high = placement.body.right() - inset;
        if (low <= high)
            placement.arrowTip.setX(std::clamp(placement.arrowTip.x(), low, high));
    }

    const QRect arrowBox = QRect(placement.arrowTip, placement.arrowTip).united(placement.body);
    placement.window = arrowBox.adjusted(-toolTipShadowMargin, -toolTipShadowMargin,
                                         toolTipShadowMargin, toolTipShadowMargin);
    return placement;
}

} // namespace vantrel
