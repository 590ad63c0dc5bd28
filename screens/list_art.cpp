#include "screens/list_art.h"

#include <cmath>
#include <functional>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace vantrel {
namespace {

using Painting = std::function<void(QPainter&, qreal side)>;

// One icon from a drawing on a square canvas, at the usual scales, so it stays crisp on high
// density screens.
QIcon drawnIcon(int side, const Painting& paint) {
    QIcon icon;
    for (const qreal scale : {1.0, 2.0, 3.0}) {
        const int pixels = qRound(side * scale);
        QPixmap pixmap(pixels, pixels);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        paint(painter, side);
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen roundPen(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QIcon badge(const QColor& top, const QColor& bottom, bool withVerticalBar) {
    return drawnIcon(22, [=](QPainter& p, qreal side) {
        QLinearGradient fill(0, 0, 0, side);
        fill.setColorAt(0, top);
        fill.setColorAt(1, bottom);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawEllipse(QRectF(1, 1, side - 2, side - 2));
        p.setPen(roundPen(Qt::white, 2.0));
        const qreal c = side / 2;
        const qreal arm = side * 0.24;
        p.drawLine(QPointF(c - arm, c), QPointF(c + arm, c));
        if (withVerticalBar)
            p.drawLine(QPointF(c, c - arm), QPointF(c, c + arm));
    });
}

} // namespace

QIcon redMinusImage() {
    return badge(QColor(0xff, 0x5f, 0x57), QColor(0xe0, 0x3b, 0x34), false);
}

QIcon greenAddImage() {
    return badge(QColor(0x3c, 0xd3, 0x6a), QColor(0x24, 0xb0, 0x50), true);
}

QIcon placeholderAppIcon(const QString& name) {
    const QString letter =
        name.trimmed().isEmpty() ? QStringLiteral("?") : name.trimmed().left(1).toUpper();
    return drawnIcon(28, [letter](QPainter& p, qreal side) {
        QLinearGradient fill(0, 0, 0, side);
        fill.setColorAt(0, QColor(0x9a, 0xa3, 0xb5));
        fill.setColorAt(1, QColor(0x6e, 0x78, 0x8c));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(1, 1, side - 2, side - 2), side * 0.23, side * 0.23);
        QFont font = p.font();
        font.setPixelSize(qRound(side * 0.5));
        font.setWeight(QFont::DemiBold);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, side, side), Qt::AlignCenter, letter);
    });
}

QIcon plusGlyph(const QColor& color) {
    return drawnIcon(16, [color](QPainter& p, qreal side) {
        p.setPen(roundPen(color, 1.8));
        p.drawLine(QPointF(side / 2, 3), QPointF(side / 2, side - 3));
        p.drawLine(QPointF(3, side / 2), QPointF(side - 3, side / 2));
    });
}

QIcon backGlyph(const QColor& color) {
    return drawnIcon(16, [color](QPainter& p, qreal side) {
        p.setPen(roundPen(color, 2.0));
        QPainterPath chevron;
        chevron.moveTo(side * 0.62, side * 0.18);
        chevron.lineTo(side * 0.32, side * 0.5);
        chevron.lineTo(side * 0.62, side * 0.82);
        p.drawPath(chevron);
    });
}

QIcon refreshGlyph(const QColor& color) {
    return drawnIcon(16, [color](QPainter& p, qreal side) {
        const QPointF center(side / 2, side / 2);
        const qreal radius = side * 0.32;
        p.setPen(roundPen(color, 1.6));
        p.setBrush(Qt::NoBrush);
        // A ring turning clockwise, open at the upper right where its arrow head points in.
        p.drawArc(QRectF(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius), 50 * 16,
                  280 * 16);
        const qreal angle = qDegreesToRadians(50.0);
        const QPointF end = center + QPointF(std::cos(angle), -std::sin(angle)) * radius;
        const QPointF along(std::sin(angle), std::cos(angle));
        const QPointF outward(std::cos(angle), -std::sin(angle));
        QPolygonF head;
        head << end + along * 3.0 << end + outward * 2.8 << end - outward * 2.8;
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPolygon(head);
    });
}

QIcon infoGlyph(const QColor& color) {
    return drawnIcon(16, [color](QPainter& p, qreal side) {
        p.setPen(QPen(color, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 1.5, side - 3, side - 3));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(QPointF(side / 2, side * 0.32), 1.0, 1.0);
        p.setPen(roundPen(color, 1.5));
        p.drawLine(QPointF(side / 2, side * 0.48), QPointF(side / 2, side * 0.74));
    });
}

QIcon searchGlyph(const QColor& color) {
    return drawnIcon(16, [color](QPainter& p, qreal side) {
        p.setPen(roundPen(color, 1.6));
        p.drawEllipse(QRectF(2.5, 2.5, side * 0.52, side * 0.52));
        p.drawLine(QPointF(side * 0.62, side * 0.62), QPointF(side - 2.5, side - 2.5));
    });
}

QIcon emptyListArt(const QColor& tint) {
    return drawnIcon(64, [tint](QPainter& p, qreal side) {
        QColor soft = tint;
        soft.setAlphaF(0.14f);
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawEllipse(QRectF(0, 0, side, side));
        // Shackle, then the body over it.
        p.setPen(roundPen(tint, 3.2));
        p.setBrush(Qt::NoBrush);
        const QRectF shackle(side * 0.34, side * 0.2, side * 0.32, side * 0.36);
        QPainterPath arc;
        arc.moveTo(shackle.left(), side * 0.42);
        arc.arcTo(shackle, 180, -180);
        arc.lineTo(shackle.right(), side * 0.42);
        p.drawPath(arc);
        p.setPen(Qt::NoPen);
        p.setBrush(tint);
        p.drawRoundedRect(QRectF(side * 0.27, side * 0.4, side * 0.46, side * 0.36), 5, 5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(side / 2, side * 0.55), side * 0.045, side * 0.045);
        p.drawRect(QRectF(side / 2 - 1.2, side * 0.56, 2.4, side * 0.1));
    });
}

} // namespace vantrel
