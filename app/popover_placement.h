#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vantrel {

// Which edge of the popover points at the tray icon.
enum class ArrowEdge { none, top, bottom };

struct PopoverPlacement {
    QPoint topLeft; // of the popover window, in screen coordinates
    ArrowEdge arrowEdge = ArrowEdge::none;
    int arrowCenter = 0; // along the arrow edge, from the popover's left side
};

// Distances of the popover from the icon and from the screen's edges.
inline constexpr int popoverGap = 2;
inline constexpr int popoverScreenMargin = 6;

// Where a popover of `size` opens for a tray icon at `iconGeometry`: below the icon when the icon
// sits in the upper half of the screen (a top panel), above it otherwise, centred on the icon
// and kept inside the work area. Before the panel has placed the icon (an empty geometry, one at
// the desktop's origin, or one outside every panel while panels reserve room), it opens in the
// corner of the work area next to the largest panel, with no arrow.
PopoverPlacement placePopover(QSize size, QRect iconGeometry, QRect screenGeometry,
                              QRect availableGeometry);

// The arrow's centre kept clear of the rounded corners.
int clampArrowCenter(int center, int popoverWidth, int cornerRadius, int arrowHalfWidth);

} // namespace vantrel
