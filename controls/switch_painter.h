#pragma once

#include "controls/soft_shadow.h"
#include "controls/switch_layers.h"

#include <QPixmap>

class QPainter;

namespace vantrel {

// Paints a switch's layers, back to front: track, knob shadow, knob, face shadow, face, icon.
// Keeps the last blurred shadows, which only change when the knob's size does.
class SwitchPainter {
public:
    // `fadingIcon` is the icon that `layers.icon.contents` is replacing, `iconProgress` how far
    // the cross-fade has come (1 when done).
    void paint(QPainter& painter, const SwitchLayers& layers, const QPixmap& fadingIcon,
               qreal iconProgress, qreal devicePixelRatio);

private:
    struct CachedShadow {
        QSizeF shape;
        qreal cornerRadius = -1.0;
        qreal blurRadius = -1.0;
        qreal devicePixelRatio = 0.0;
        SoftShadow shadow;
    };

    void paintShadow(QPainter& painter, CachedShadow& cache, const QRectF& shape,
                     qreal cornerRadius, const LayerShadow& shadow, qreal devicePixelRatio);

    CachedShadow m_knobShadow;
    CachedShadow m_faceShadow;
};

} // namespace vantrel
