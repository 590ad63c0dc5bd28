#include "controls/switch_painter.h"

#include <QPainter>

namespace vantrel {
namespace {

void drawIcon(QPainter& painter, const QPixmap& icon, const QRectF& frame, qreal opacity) {
    if (icon.isNull() || opacity <= 0.0 || frame.isEmpty())
        return;
    painter.save();
    painter.setOpacity(painter.opacity() * opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(frame, icon, QRectF(icon.rect()));
    painter.restore();
}

} // namespace

void SwitchPainter::paint(QPainter& painter, const SwitchLayers& layers, const QPixmap& fadingIcon,
                          qreal iconProgress, qreal devicePixelRatio) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    const auto& track = layers.track;
    painter.setPen(Qt::NoPen);
    painter.setBrush(track.fill);
    painter.drawRoundedRect(track.frame, track.cornerRadius, track.cornerRadius);
    if (track.borderWidth > 0.0 && track.border.alpha() > 0) {
        // Borders lie inside the bounds, as a layer's do.
        const qreal half = track.borderWidth / 2;
        const qreal radius = std::max(track.cornerRadius - half, 0.0);
        painter.setPen(QPen(track.border, track.borderWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track.frame.adjusted(half, half, -half, -half), radius, radius);
    }

    const auto& knob = layers.knob;
    paintShadow(painter, m_knobShadow, knob.frame, knob.cornerRadius, knob.shadow,
                devicePixelRatio);
    painter.setPen(Qt::NoPen);
    painter.setBrush(knob.fill);
    painter.drawRoundedRect(knob.frame, knob.cornerRadius, knob.cornerRadius);

    const auto& face = layers.face;
    const QRectF faceFrame = face.frame.translated(knob.frame.topLeft());
    paintShadow(painter, m_faceShadow, faceFrame, face.cornerRadius, face.shadow, devicePixelRatio);
    painter.setPen(Qt::NoPen);
    painter.setBrush(face.fill);
    painter.drawRoundedRect(faceFrame, face.cornerRadius, face.cornerRadius);

    const QRectF iconFrame = layers.icon.frame.translated(faceFrame.topLeft());
    if (iconProgress < 1.0)
        drawIcon(painter, fadingIcon, iconFrame, 1.0 - iconProgress);
    drawIcon(painter, layers.icon.contents, iconFrame, std::min(iconProgress, 1.0));
    painter.restore();
}

void SwitchPainter::paintShadow(QPainter& painter, CachedShadow& cache, const QRectF& shape,
                                qreal cornerRadius, const LayerShadow& shadow,
                                qreal devicePixelRatio) {
    if (shape.isEmpty() || shadow.color.alpha() == 0 || shadow.opacity <= 0.0)
        return;
    if (cache.shape != shape.size() || cache.cornerRadius != cornerRadius ||
        cache.blurRadius != shadow.radius || cache.devicePixelRatio != devicePixelRatio) {
        cache.shape = shape.size();
        cache.cornerRadius = cornerRadius;
        cache.blurRadius = shadow.radius;
        cache.devicePixelRatio = devicePixelRatio;
        cache.shadow =
            roundedRectShadow(shape.size(), cornerRadius, shadow.radius, devicePixelRatio);
    }
    if (cache.shadow.image.isNull())
        return;
    // The blurred shape is black; tint it with the shadow's colour.
    QImage tinted = cache.shadow.image;
    {
        QPainter tint(&tinted);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(tinted.rect(),
                      QColor(shadow.color.red(), shadow.color.green(), shadow.color.blue()));
    }
    painter.save();
    painter.setOpacity(painter.opacity() * shadow.opacity * shadow.color.alphaF());
    const QPointF origin =
        shape.topLeft() + shadow.offset - QPointF(cache.shadow.padding, cache.shadow.padding);
    painter.drawImage(origin, tinted);
    painter.restore();
}

} // namespace vantrel
