#include "controls/crv_password_button.h"

#include "controls/eye_glyph.h"

#include <QImage>
#include <QPainter>

namespace vantrel {
namespace {

bool increaseContrast = false;

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < 128;
}

// The desktop's red, a shade lighter on dark backgrounds so that it keeps its weight there.
QColor systemRed(const QPalette& palette) {
    return isDark(palette) ? QColor(255, 69, 58) : QColor(255, 59, 48);
}

QColor secondaryLabelColor(const QPalette& palette) {
    QColor color = palette.color(QPalette::Text);
    color.setAlphaF(isDark(palette) ? 0.55f : 0.5f);
    return color;
}

// One pass of a 3 by 3 box blur: a soft edge of about one pixel, as a shadow of blur radius 1.
QImage blurredOnce(const QImage& source) {
    QImage result(source.size(), QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(source.devicePixelRatio());
    const int width = source.width();
    const int height = source.height();
    for (int y = 0; y < height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int alpha = 0;
            int samples = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                const int sy = y + dy;
                if (sy < 0 || sy >= height)
                    continue;
                const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
                for (int dx = -1; dx <= 1; ++dx) {
                    const int sx = x + dx;
                    if (sx < 0 || sx >= width)
                        continue;
                    alpha += qAlpha(in[sx]);
                    ++samples;
                }
            }
            // The shadow is black, so the premultiplied colour is all zero.
            out[x] = qRgba(0, 0, 0, samples > 0 ? alpha / samples : 0);
        }
    }
    return result;
}

void drawShadow(QPainter& painter, const QPainterPath& glyph, const QSize& size, qreal ratio) {
    QImage shadow(size * ratio, QImage::Format_ARGB32_Premultiplied);
    shadow.setDevicePixelRatio(ratio);
    shadow.fill(Qt::transparent);
    {
        QPainter shadowPainter(&shadow);
        shadowPainter.setRenderHint(QPainter::Antialiasing);
        // One point right and one point down.
        shadowPainter.fillPath(glyph.translated(1, 1), QColor(0, 0, 0, 153));
    }
    painter.drawImage(QPointF(0, 0), blurredOnce(shadow));
}

} // namespace

CRVPasswordButton::CRVPasswordButton(QWidget* parent)
    : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    //: Button used to toggle whether the password is shown in the clear or obscured
    setToolTip(tr("Toggle password visibility"));
    setAccessibleName(toolTip());
}

void CRVPasswordButton::setDisplayShouldIncreaseContrast(bool increase) {
    increaseContrast = increase;
}

bool CRVPasswordButton::displayShouldIncreaseContrast() {
    return increaseContrast;
}

void CRVPasswordButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QTransform toButton = eye_glyph::designToButton(width());
    if (isChecked()) {
        const QPainterPath glyph = toButton.map(eye_glyph::openEye());
        if (!increaseContrast)
            drawShadow(painter, glyph, size(), devicePixelRatioF());
        painter.fillPath(glyph, systemRed(palette()));
    } else {
        painter.fillPath(toButton.map(eye_glyph::crossedEye()), secondaryLabelColor(palette()));
    }
}

} // namespace vantrel
