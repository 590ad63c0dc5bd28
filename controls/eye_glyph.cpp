#include "controls/eye_glyph.h"

#include <QPainterPathStroker>

namespace vantrel::eye_glyph {
namespace {

const QPointF centre(16.0, 15.0);
constexpr double outerLeft = 1.0;
constexpr double outerRight = 31.0;
constexpr double outerTop = 5.0;
constexpr double outerBottom = 25.0;
constexpr double bandWidth = 1.5;
constexpr double irisRadius = 6.5;
constexpr double pupilRadius = 2.0;
const QPointF barStart(25.6, 5.7);
const QPointF barEnd(6.5, 24.9);
constexpr double barWidth = 1.3;
// The clear space the bar leaves on each side of it in the band and the iris.
constexpr double barClearance = 1.1;

// The y a cubic from y0 to y0 needs for both control points so that it peaks at `apex`.
double controlFor(double tipY, double apex) {
    return (8.0 * apex - 2.0 * tipY) / 6.0;
}

// An almond from tip to tip through the two apexes; clockwise on screen unless reversed.
QPainterPath almond(double left, double right, double top, double bottom) {
    const double width = right - left;
    const double topControl = controlFor(centre.y(), top);
    const double bottomControl = controlFor(centre.y(), bottom);
    QPainterPath path;
    path.moveTo(left, centre.y());
    path.cubicTo(left + width * 0.27, topControl, right - width * 0.27, topControl, right,
                 centre.y());
    path.cubicTo(right - width * 0.27, bottomControl, left + width * 0.27, bottomControl, left,
                 centre.y());
    path.closeSubpath();
    return path;
}

QPainterPath circle(double radius, bool clockwise) {
    QPainterPath path;
    path.moveTo(centre.x() + radius, centre.y());
    path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius), 0,
               clockwise ? -360 : 360);
    path.closeSubpath();
    return path;
}

// The outline band and the iris disk, without a pupil.
QPainterPath eyeWithoutPupil() {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPath(almond(outerLeft, outerRight, outerTop, outerBottom));
    // The inner edge of the band sits further in at the tips, where the outline is steep.
    path.addPath(almond(outerLeft + 2.4 * bandWidth, outerRight - 2.4 * bandWidth,
                        outerTop + bandWidth, outerBottom - bandWidth)
                     .toReversed());
    path.addPath(circle(irisRadius, true));
    return path;
}

QPainterPath barStroke(double width) {
    QPainterPath line;
    line.moveTo(barStart);
    line.lineTo(barEnd);
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(line);
}

} // namespace

QPainterPath openEye() {
    QPainterPath path = eyeWithoutPupil();
    path.addPath(circle(pupilRadius, false));
    return path;
}

QPainterPath crossedEye() {
    const QPainterPath cut = eyeWithoutPupil().subtracted(barStroke(barWidth + 2 * barClearance));
    QPainterPath path = cut.united(barStroke(barWidth));
    path.setFillRule(Qt::WindingFill);
    return path;
}

QTransform designToButton(double buttonWidth) {
    const double scale = buttonWidth / designSize;
    return QTransform(scale, 0, 0, scale, 0, scale);
}

} // namespace vantrel::eye_glyph
