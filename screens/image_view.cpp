#include "screens/image_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace vantrel {

ImageView::ImageView(QWidget* parent)
    : QWidget(parent) {}

void ImageView::setImage(const QIcon& image) {
    m_image = image;
    update();
}

void ImageView::paintEvent(QPaintEvent*) {
    if (m_image.isNull())
        return;
    const int side = std::min(width(), height());
    const QRect target(QPoint((width() - side) / 2, (height() - side) / 2), QSize(side, side));
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPixmap pixmap = m_image.pixmap(QSize(side, side), devicePixelRatioF(),
                                          isEnabled() ? QIcon::Normal : QIcon::Disabled);
    // Icons may come smaller than asked for; keep them centred at their own size.
    const QSizeF shown =
        pixmap.deviceIndependentSize().scaled(QSizeF(target.size()), Qt::KeepAspectRatio);
    const QRectF frame(QPointF(target.center()) - QPointF(shown.width(), shown.height()) / 2 +
                           QPointF(0.5, 0.5),
                       shown);
    painter.drawPixmap(frame, pixmap, QRectF(pixmap.rect()));
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    QWidget* top = window();
    const bool movableWindow = event->button() == Qt::LeftButton && mouseDownCanMoveWindow() &&
                               top->windowType() != Qt::Popup &&
                               top->windowFlags().testFlag(Qt::FramelessWindowHint) &&
                               top->windowHandle();
    if (movableWindow && top->windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    // Let the view beneath have the press, as a press on the background.
    event->ignore();
}

} // namespace vantrel
