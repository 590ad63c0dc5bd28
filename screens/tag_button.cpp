#include "screens/tag_button.h"

#include <QPainter>

namespace vantrel {

TagButton::TagButton(QWidget* parent)
    : QAbstractButton(parent) {
    setIconSize(QSize(20, 20));
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize TagButton::sizeHint() const {
    return iconSize() + QSize(4, 4);
}

void TagButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect target(
        QPoint((width() - iconSize().width()) / 2, (height() - iconSize().height()) / 2),
        iconSize());
    // Held down, the image darkens a little, as a pressed image button does.
    const QPixmap pixmap = icon().pixmap(iconSize(), devicePixelRatioF(),
                                         isEnabled() ? QIcon::Normal : QIcon::Disabled);
    painter.drawPixmap(target, pixmap);
    if (isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 56));
        painter.drawEllipse(QRectF(target).adjusted(1, 1, -1, -1));
    }
    if (hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.6f);
        painter.setPen(QPen(ring, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(target).adjusted(-1, -1, 1, 1));
    }
}

} // namespace vantrel
