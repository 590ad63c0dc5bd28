#include "controls/soft_shadow.h"

#include <algorithm>
#include <cmath>
#include <QPainter>
#include <QPainterPath>
#include <vector>

namespace vantrel {
namespace {

std::vector<float> gaussianKernel(qreal sigma) {
    const int reach = std::max(1, static_cast<int>(std::ceil(sigma * 3.0)));
    std::vector<float> kernel(static_cast<size_t>(2 * reach + 1));
    float sum = 0.0f;
    for (int i = -reach; i <= reach; ++i) {
        const auto weight = static_cast<float>(std::exp(-(i * i) / (2.0 * sigma * sigma)));
        kernel[static_cast<size_t>(i + reach)] = weight;
        sum += weight;
    }
    for (float& weight : kernel)
        weight /= sum;
    return kernel;
}

// Blurs the alpha channel of a black premultiplied image along one axis.
void blurAlpha(QImage& image, const std::vector<float>& kernel, bool horizontal) {
    const int width = image.width();
    const int height = image.height();
    const int reach = static_cast<int>(kernel.size() / 2);
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    std::vector<float> source(static_cast<size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int i) -> QRgb& {
            const int x = horizontal ? i : line;
            const int y = horizontal ? line : i;
            return reinterpret_cast<QRgb*>(image.scanLine(y))[x];
        };
        for (int i = 0; i < length; ++i)
            source[static_cast<size_t>(i)] = static_cast<float>(qAlpha(pixel(i)));
        for (int i = 0; i < length; ++i) {
            float alpha = 0.0f;
            for (int k = -reach; k <= reach; ++k) {
                const int at = i + k;
                if (at >= 0 && at < length)
                    alpha +=
                        source[static_cast<size_t>(at)] * kernel[static_cast<size_t>(k + reach)];
            }
            pixel(i) = qRgba(0, 0, 0, std::clamp(static_cast<int>(std::lround(alpha)), 0, 255));
        }
    }
}

} // namespace

SoftShadow roundedRectShadow(QSizeF shape, qreal cornerRadius, qreal blurRadius,
                             qreal devicePixelRatio) {
    SoftShadow shadow;
    if (shape.isEmpty() || devicePixelRatio <= 0.0)
        return shadow;
    shadow.padding = std::ceil(std::max(blurRadius, 0.0) * 3.0) + 1.0;
    const QSizeF logical = shape + QSizeF(2 * shadow.padding, 2 * shadow.padding);
    const QSize pixels(static_cast<int>(std::ceil(logical.width() * devicePixelRatio)),
                       static_cast<int>(std::ceil(logical.height() * devicePixelRatio)));
    shadow.image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    shadow.image.fill(Qt::transparent);
    {
        QPainter painter(&shadow.image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(devicePixelRatio, devicePixelRatio);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawRoundedRect(QRectF(QPointF(shadow.padding, shadow.padding), shape),
                                cornerRadius, cornerRadius);
    }
    if (blurRadius > 0.0) {
        const std::vector<float> kernel = gaussianKernel(blurRadius * devicePixelRatio);
        blurAlpha(shadow.image, kernel, true);
        blurAlpha(shadow.image, kernel, false);
    }
    shadow.image.setDevicePixelRatio(devicePixelRatio);
    return shadow;
}

} // namespace vantrel
