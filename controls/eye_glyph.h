#pragma once

#include <QPainterPath>
#include <QTransform>

namespace vantrel::eye_glyph {

// The eye of the password button is designed in a square of 33 by 33 units, y pointing down.
inline constexpr double designSize = 33.0;

// The open eye (the password is shown): an almond outline band, a filled iris and a pupil hole.
// Filled with the winding rule; the holes are sub-paths drawn the other way round.
QPainterPath openEye();

// The crossed eye (the password is hidden): the outline band and the iris without a pupil, cut
// where a diagonal bar with rounded ends crosses them, and the bar itself.
QPainterPath crossedEye();

// From design units to a square button of this width: one unit down, then scaled uniformly.
QTransform designToButton(double buttonWidth);

} // namespace vantrel::eye_glyph
