#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QRectF>

namespace vantrel {

// A layer's drop shadow: its colour at an opacity, moved by an offset (y grows downwards) and
// blurred by a radius.
struct LayerShadow {
    QColor color;
    QPointF offset;
    qreal radius = 0.0;
    qreal opacity = 0.0;
};

// The switch's drawing as a small tree of plain layers. The track and the knob are in the track's
// coordinates; the knob's face and the icon are in the knob's.
struct SwitchLayers {
    // The whole switch: the enabled state.
    qreal opacity = 1.0;

    struct Track {
        QRectF frame;
        QColor fill;
        QColor border;
        qreal borderWidth = 0.0;
        qreal cornerRadius = 0.0;
    } track;

    // The knob, with the drop shadow that lifts it off the track.
    struct Knob {
        QRectF frame;
        QColor fill;
        LayerShadow shadow;
        qreal cornerRadius = 0.0;
    } knob;

    // The knob's face, inside the knob, with a faint rim of shadow.
    struct Face {
        QRectF frame;
        QColor fill;
        LayerShadow shadow;
        qreal cornerRadius = 0.0;
    } face;

    struct Icon {
        QRectF frame;
        QPixmap contents;
    } icon;
};

// The layers part way from one state to another (progress 0 is `from`, 1 is `to`). Frames follow
// the progress beyond 0..1, so an overshooting curve carries the knob past its end and back;
// colours and opacities stay between the two states. The icon is the target's.
SwitchLayers interpolateLayers(const SwitchLayers& from, const SwitchLayers& to, qreal progress);

// Where the knob lies on a track of `track` size with borders `borderWidth` wide: inset by the
// border; a circle when `ignoreRatio`, otherwise a pill whose width is the inner width divided by
// `pressedRatio` while pressed and by `restingRatio` at rest; at the right end when `shownOn`.
QRectF switchKnobFrame(QSizeF track, qreal borderWidth, bool ignoreRatio, bool isActive,
                       bool shownOn, qreal pressedRatio, qreal restingRatio);

} // namespace vantrel
