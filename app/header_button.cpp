#include "app/header_button.h"

#include "screens/popover_style.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>

namespace vantrel {
namespace {

constexpr int buttonSize = 28;

void drawGlyph(QPainter& painter, HeaderButton::Glyph glyph, const QColor& color) {
    const QPointF c(buttonSize / 2.0, buttonSize / 2.0);
    QPen pen(color, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    switch (glyph) {
    case HeaderButton::Glyph::back: {
        QPainterPath chevron;
        chevron.moveTo(c + QPointF(2.5, -6.5));
        chevron.lineTo(c + QPointF(-4.0, 0.0));
        chevron.lineTo(c + QPointF(2.5, 6.5));
        painter.drawPath(chevron);
        break;
    }
    case HeaderButton::Glyph::add:
        painter.drawLine(c + QPointF(-6.5, 0), c + QPointF(6.5, 0));
        painter.drawLine(c + QPointF(0, -6.5), c + QPointF(0, 6.5));
        break;
    case HeaderButton::Glyph::menu: {
        pen.setWidthF(1.4);
        painter.setPen(pen);
        painter.drawEllipse(c, 8.3, 8.3);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        for (const qreal dx : {-4.2, 0.0, 4.2})
            painter.drawEllipse(c + QPointF(dx, 0), 1.35, 1.35);
        break;
    }
    }
}

} // namespace

HeaderButton::HeaderButton(Glyph glyph, const QString& accessibleName, QWidget* parent)
    : QAbstractButton(parent)
    , m_glyph(glyph) {
    setAccessibleName(accessibleName);
    setToolTip(accessibleName);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(buttonSize, buttonSize);
}

QSize HeaderButton::sizeHint() const {
    return {buttonSize, buttonSize};
}

void HeaderButton::enterEvent(QEnterEvent* event) {
    update();
    QAbstractButton::enterEvent(event);
}

void HeaderButton::leaveEvent(QEvent* event) {
    update();
    QAbstractButton::leaveEvent(event);
}

void HeaderButton::focusInEvent(QFocusEvent* event) {
    m_keyboardFocus =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QAbstractButton::focusInEvent(event);
}

void HeaderButton::focusOutEvent(QFocusEvent* event) {
    m_keyboardFocus = false;
    update();
    QAbstractButton::focusOutEvent(event);
}

void HeaderButton::paintEvent(QPaintEvent*) {
    const style::PopoverColors colors = style::popoverColors(palette());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown() || underMouse()) {
        QColor background = colors.hover;
        if (isDown())
            background.setAlpha(background.alpha() * 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(background);
        painter.drawRoundedRect(QRectF(rect()), 6, 6);
    }
    if (m_keyboardFocus && hasFocus()) {
        QColor ring = colors.accent;
        ring.setAlpha(170);
        painter.setPen(QPen(ring, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }
    QColor ink = colors.text;
    ink.setAlphaF(isEnabled() ? 0.78f : 0.3f);
    drawGlyph(painter, m_glyph, ink);
}

} // namespace vantrel
