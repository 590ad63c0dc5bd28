#include "controls/switch_layers.h"

#include <algorithm>

namespace vantrel {
namespace {

qreal mix(qreal from, qreal to, qreal progress) {
    return from + (to - from) * progress;
}

QRectF mix(const QRectF& from, const QRectF& to, qreal progress) {
    return {mix(from.x(), to.x(), progress), mix(from.y(), to.y(), progress),
            mix(from.width(), to.width(), progress), mix(from.height(), to.height(), progress)};
}

// Colours blend premultiplied, so that fading to the clear colour does not pass through black.
QColor mix(const QColor& from, const QColor& to, qreal progress) {
    const qreal t = std::clamp(progress, 0.0, 1.0);
    const qreal alpha = mix(from.alphaF(), to.alphaF(), t);
    if (alpha <= 0.0)
        return QColor(0, 0, 0, 0);
    auto channel = [&](float fromChannel, float toChannel) {
        const qreal premultiplied = mix(fromChannel * from.alphaF(), toChannel * to.alphaF(), t);
        return static_cast<float>(std::clamp(premultiplied / alpha, 0.0, 1.0));
    };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()), static_cast<float>(alpha));
}

LayerShadow mix(const LayerShadow& from, const LayerShadow& to, qreal progress) {
    const qreal t = std::clamp(progress, 0.0, 1.0);
    return {mix(from.color, to.color, t),
            QPointF(mix(from.offset.x(), to.offset.x(), t), mix(from.offset.y(), to.offset.y(), t)),
            mix(from.radius, to.radius, t), mix(from.opacity, to.opacity, t)};
}

} // namespace

SwitchLayers interpolateLayers(const SwitchLayers& from, const SwitchLayers& to, qreal progress) {
    const qreal clamped = std::clamp(progress, 0.0, 1.0);
    SwitchLayers layers = to;
    layers.opacity = mix(from.opacity, to.opacity, clamped);
    layers.track.frame = mix(from.track.frame, to.track.frame, progress);
    layers.track.fill = mix(from.track.fill, to.track.fill, clamped);
    layers.track.border = mix(from.track.border, to.track.border, clamped);
    layers.track.borderWidth = mix(from.track.borderWidth, to.track.borderWidth, clamped);
    layers.track.cornerRadius = mix(from.track.cornerRadius, to.track.cornerRadius, progress);
    layers.knob.frame = mix(from.knob.frame, to.knob.frame, progress);
    layers.knob.fill = mix(from.knob.fill, to.knob.fill, clamped);
    layers.knob.shadow = mix(from.knob.shadow, to.knob.shadow, clamped);
    layers.knob.cornerRadius = mix(from.knob.cornerRadius, to.knob.cornerRadius, progress);
    layers.face.frame = mix(from.face.frame, to.face.frame, progress);
    layers.face.fill = mix(from.face.fill, to.face.fill, clamped);
    layers.face.shadow = mix(from.face.shadow, to.face.shadow, clamped);
    layers.face.cornerRadius = mix(from.face.cornerRadius, to.face.cornerRadius, progress);
    return layers;
}

QRectF switchKnobFrame(QSizeF track, qreal borderWidth, bool ignoreRatio, bool isActive,
                       bool shownOn, qreal pressedRatio, qreal restingRatio) {
    const qreal height = track.height() - 2 * borderWidth;
    const qreal innerWidth = track.width() - 2 * borderWidth;
    const qreal width =
        ignoreRatio ? height : innerWidth / (isActive ? pressedRatio : restingRatio);
    const qreal x = shownOn ? track.width() - width - borderWidth : borderWidth;
    return {x, borderWidth, width, height};
}

} // namespace vantrel
