#include "app/popover_placement.h"

#include <algorithm>

namespace vantrel {
namespace {

enum class PanelEdge { top, bottom, left, right };

bool panelsReserveRoom(QRect screen, QRect available) {
    return available.isValid() && available != screen;
}

// A tray icon the panel has not embedded yet reports a made-up place: the origin of the desktop,
// or somewhere outside every panel. While panels reserve room, a real icon lies at least partly
// inside one of them.
bool iconIsPlaced(QRect icon, QRect screen, QRect available) {
    if (icon.isEmpty() || icon.topLeft() == QPoint(0, 0) || !screen.intersects(icon))
        return false;
    return !panelsReserveRoom(screen, available) || !available.contains(icon);
}

PanelEdge largestPanel(QRect screen, QRect available) {
    const int top = available.top() - screen.top();
    const int bottom = screen.bottom() - available.bottom();
    const int left = available.left() - screen.left();
    const int right = screen.right() - available.right();
    const int largest = std::max({top, bottom, left, right});
    // Without any panel, the top right corner, where trays live on most desktops.
    if (largest <= 0 || top == largest)
        return PanelEdge::top;
    if (bottom == largest)
        return PanelEdge::bottom;
    return left == largest ? PanelEdge::left : PanelEdge::right;
}

int clampedInto(int position, int length, int low, int high) {
    // A popover larger than the room starts at the low edge.
    return std::max(low, std::min(position, high - length));
}

} // namespace

int clampArrowCenter(int center, int popoverWidth, int cornerRadius, int arrowHalfWidth) {
    const int low = cornerRadius + arrowHalfWidth;
    const int high = popoverWidth - cornerRadius - arrowHalfWidth;
    if (high < low)
        return popoverWidth / 2;
    return std::clamp(center, low, high);
}

PopoverPlacement placePopover(QSize size, QRect iconGeometry, QRect screenGeometry,
                              QRect availableGeometry) {
    const QRect area = availableGeometry.isValid() ? availableGeometry : screenGeometry;
    const int left = area.left() + popoverScreenMargin;
    const int right = area.left() + area.width() - popoverScreenMargin;
    const int bottom = area.top() + area.height() - popoverScreenMargin;

    PopoverPlacement placement;
    if (iconIsPlaced(iconGeometry, screenGeometry, availableGeometry)) {
        const QPoint center = iconGeometry.center();
        const bool hangsBelow = center.y() < screenGeometry.center().y();
        // Centred on the icon's exact middle, so that odd and even widths line up alike.
        const int x = clampedInto(iconGeometry.left() + (iconGeometry.width() - size.width()) / 2,
                                  size.width(), left, right);
        const int y = hangsBelow ? iconGeometry.top() + iconGeometry.height() + popoverGap
                                 : iconGeometry.top() - popoverGap - size.height();
        // Never over the panel the icon sits in, nor off the screen.
        placement.topLeft =
            QPoint(x, clampedInto(y, size.height(), area.top(), area.top() + area.height()));
        placement.arrowEdge = hangsBelow ? ArrowEdge::top : ArrowEdge::bottom;
        placement.arrowCenter = iconGeometry.left() + iconGeometry.width() / 2 - x;
        return placement;
    }

    switch (largestPanel(screenGeometry, area)) {
    case PanelEdge::top:
        placement.topLeft = QPoint(right - size.width(), area.top() + popoverGap);
        break;
    case PanelEdge::bottom:
        placement.topLeft =
            QPoint(right - size.width(), area.top() + area.height() - popoverGap - size.height());
        break;
    case PanelEdge::left:
        placement.topLeft = QPoint(area.left() + popoverGap, bottom - size.height());
        break;
    case PanelEdge::right:
        placement.topLeft =
            QPoint(area.left() + area.width() - popoverGap - size.width(), bottom - size.height());
        break;
    }
    placement.topLeft.setX(
        clampedInto(placement.topLeft.x(), size.width(), area.left(), area.left() + area.width()));
    placement.topLeft.setY(
        clampedInto(placement.topLeft.y(), size.height(), area.top(), area.top() + area.height()));
    return placement;
}

} // namespace vantrel
