#include "lock/lock_card_art.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vantrel {
namespace {

QPixmap blankPixmap(int side, qreal devicePixelRatio) {
    const int physical = qRound(side * devicePixelRatio);
    QPixmap pixmap(physical, physical);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawLetterTile(QPainter& painter, const QRectF& area, const QString& name) {
    QLinearGradient fill(area.topLeft(), area.bottomRight());
    fill.setColorAt(0.0, QColor(0x60, 0x7d, 0xf2));
    fill.setColorAt(1.0, QColor(0x8b, 0x5c, 0xf6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(area, area.width() * 0.22, area.width() * 0.22);
    const QString letter =
        name.trimmed().isEmpty() ? QStringLiteral("?") : name.trimmed().left(1).toUpper();
    QFont font = painter.font();
    font.setPixelSize(qRound(area.height() * 0.5));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(area, Qt::AlignCenter, letter);
}

void drawPadlockBadge(QPainter& painter, const QRectF& badge) {
    painter.setPen(QPen(QColor(0x26, 0x2d, 0x3b), badge.width() * 0.08));
    painter.setBrush(QColor(0xf5, 0x9e, 0x0b));
    painter.drawEllipse(badge);

    const qreal unit = badge.width() / 10.0;
    const QPointF centre = badge.center();
    // Shackle, then body.
    painter.setPen(QPen(Qt::white, unit * 0.9, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    const QRectF shackle(centre.x() - unit * 1.6, centre.y() - unit * 3.0, unit * 3.2, unit * 4.0);
    painter.drawArc(shackle, 0, 180 * 16);
    painter.drawLine(QPointF(shackle.left(), shackle.center().y()),
                     QPointF(shackle.left(), centre.y()));
    painter.drawLine(QPointF(shackle.right(), shackle.center().y()),
                     QPointF(shackle.right(), centre.y()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(
        QRectF(centre.x() - unit * 2.5, centre.y() - unit * 0.4, unit * 5.0, unit * 3.6),
        unit * 0.7, unit * 0.7);
}

} // namespace

QPixmap lockedAppIcon(const QIcon& icon, const QString& name, int side, qreal devicePixelRatio) {
    QPixmap pixmap = blankPixmap(side, devicePixelRatio);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(0, 0, side, side);
    if (icon.isNull()) {
        drawLetterTile(painter, area.adjusted(side * 0.06, side * 0.06, -side * 0.06, -side * 0.06),
                       name);
    } else {
        icon.paint(&painter, area.toRect());
    }
    const qreal badgeSide = side * 0.36;
    drawPadlockBadge(painter,
                     QRectF(side - badgeSide - 1, side - badgeSide - 1, badgeSide, badgeSide));
    return pixmap;
}

void paintLockBackdrop(QPainter& painter, const QRect& area) {
    QLinearGradient backdrop(0, area.top(), 0, area.bottom());
    backdrop.setColorAt(0.0, QColor(0x1c, 0x23, 0x33));
    backdrop.setColorAt(1.0, QColor(0x0c, 0x10, 0x18));
    painter.fillRect(area, backdrop);
}

QColor lockBackdropColor() {
    return QColor(0x14, 0x19, 0x25);
}

QIcon closeGlyph(const QColor& color) {
    QIcon glyph;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap = blankPixmap(16, ratio);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(color, 1.8, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
        painter.end();
        glyph.addPixmap(pixmap);
    }
    return glyph;
}

QIcon arrowGlyph(const QColor& color) {
    QIcon glyph;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap = blankPixmap(16, ratio);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(QPointF(3, 8), QPointF(13, 8));
        QPainterPath head;
        head.moveTo(9, 4);
        head.lineTo(13, 8);
        head.lineTo(9, 12);
        painter.drawPath(head);
        painter.end();
        glyph.addPixmap(pixmap);
    }
    return glyph;
}

} // namespace vantrel
