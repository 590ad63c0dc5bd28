#pragma once

#include <QImage>
#include <QSizeF>

namespace vantrel {

// The soft shadow of a rounded rectangle: the shape in opaque black, blurred with a Gaussian whose
// deviation is `blurRadius` (as layer shadows are). The image is `padding` logical pixels larger
// than the shape on every side, at the given pixel ratio; tint it by drawing it with an opacity.
struct SoftShadow {
    QImage image;
    qreal padding = 0;
};

SoftShadow roundedRectShadow(QSizeF shape, qreal cornerRadius, qreal blurRadius,
                             qreal devicePixelRatio);

} // namespace vantrel
