#include "controls/tool_tip_popover.h"

#include "platform/window_compositing.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScreen>
#include <QWindow>

namespace vantrel {
namespace {

constexpr qreal shadowBlur = 5.0;
constexpr qreal shadowOpacity = 0.22;
constexpr int fadeInMs = 120;

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QColor bubbleFill(const QPalette& palette) {
    return isDark(palette) ? QColor(50, 50, 52) : QColor(252, 252, 252);
}

QColor bubbleBorder(const QPalette& palette) {
    return isDark(palette) ? QColor(255, 255, 255, 46) : QColor(0, 0, 0, 38);
}

} // namespace

ToolTipPopover::ToolTipPopover(QWidget* parent)
    : QWidget(parent, Qt::Tool) {
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowFlag(Qt::NoDropShadowWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void ToolTipPopover::setContentView(QWidget* view) {
    if (m_contentView == view)
        return;
    delete m_contentView;
    m_contentView = view;
    if (view) {
        view->setParent(this);
        view->setAutoFillBackground(false);
        view->show();
    }
}

void ToolTipPopover::setBehavior(Behavior behavior) {
    if (m_behavior == behavior)
        return;
    m_behavior = behavior;
    // A popup window is closed by Qt on the first click outside it: the transient behaviour.
    const bool wasVisible = isVisible();
    setWindowFlags(behavior == Behavior::Transient
                       ? Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint
                       : Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    if (wasVisible)
        show();
}

void ToolTipPopover::showRelativeTo(const QRect& rect, QWidget* view, RectEdge preferredEdge) {
    if (!view)
        return;
    m_anchorView = view;
    const QRect anchor(view->mapToGlobal(rect.topLeft()), rect.size());
    QScreen* screen = view->screen() ? view->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(anchor.center(), QSize());
    const QSize body = m_contentSize.isValid() ? m_contentSize
                       : m_contentView         ? m_contentView->sizeHint()
                                               : QSize();
    m_placement = placeToolTip(anchor, body, preferredEdge, available);

    setGeometry(m_placement.window);
    // Without a compositing manager the clear pixels around the bubble would show black: the
    // window takes the bubble's shape instead, and goes without its soft shadow.
    if (desktopCompositesWindows())
        clearMask();
    else
        setMask(QRegion(bubblePath().toFillPolygon().toPolygon()));
    if (m_contentView)
        m_contentView->setGeometry(
            QRect(m_placement.body.topLeft() - m_placement.window.topLeft(), body));
    update();

    const bool fade = m_animates && !isVisible();
    if (fade)
        setWindowOpacity(0.0);
    show();
    raise();
    if (fade) {
        auto* animation = new QPropertyAnimation(this, "windowOpacity", this);
        animation->setDuration(fadeInMs);
        animation->setStartValue(0.0);
        animation->setEndValue(1.0);
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        setWindowOpacity(1.0);
    }
}

QPainterPath ToolTipPopover::bubblePath() const {
    const QPoint origin = m_placement.window.topLeft();
    // Half-pixel inset: the hairline edge falls on whole pixels.
    const QRectF body = QRectF(m_placement.body.translated(-origin)).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF tip = QPointF(m_placement.arrowTip - origin);
    QPainterPath path;
    path.addRoundedRect(body, toolTipCornerRadius, toolTipCornerRadius);
    const qreal half = toolTipArrowHalfWidth;
    QPolygonF arrow;
    switch (m_placement.edge) {
    case RectEdge::MaxX:
        arrow << QPointF(body.left() + 1, tip.y() - half) << tip
              << QPointF(body.left() + 1, tip.y() + half);
        break;
    case RectEdge::MinX:
        arrow << QPointF(body.right() - 1, tip.y() - half) << tip
              << QPointF(body.right() - 1, tip.y() + half);
        break;
    case RectEdge::MaxY:
        arrow << QPointF(tip.x() - half, body.top() + 1) << tip
              << QPointF(tip.x() + half, body.top() + 1);
        break;
    case RectEdge::MinY:
        arrow << QPointF(tip.x() - half, body.bottom() - 1) << tip
              << QPointF(tip.x() + half, body.bottom() - 1);
        break;
    }
    QPainterPath arrowPath;
    arrowPath.addPolygon(arrow);
    arrowPath.closeSubpath();
    return path.united(arrowPath).simplified();
}

void ToolTipPopover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPoint origin = m_placement.window.topLeft();
    const QRect body = m_placement.body.translated(-origin);

    // A soft shadow under the body lifts the bubble off what lies beneath.
    if (m_shadowFor != body.size() || m_shadow.image.devicePixelRatio() != devicePixelRatioF()) {
        m_shadow = roundedRectShadow(QSizeF(body.size()), toolTipCornerRadius, shadowBlur,
                                     devicePixelRatioF());
        m_shadowFor = body.size();
    }
    if (!m_shadow.image.isNull()) {
        painter.save();
        painter.setOpacity(shadowOpacity);
        painter.drawImage(QPointF(body.topLeft()) + QPointF(0, 2) -
                              QPointF(m_shadow.padding, m_shadow.padding),
                          m_shadow.image);
        painter.restore();
    }

    const QPainterPath path = bubblePath();
    painter.setPen(QPen(bubbleBorder(palette()), 1.0));
    painter.setBrush(bubbleFill(palette()));
    painter.drawPath(path);
}

void ToolTipPopover::mousePressEvent(QMouseEvent* event) {
    const bool outside = !rect().contains(event->position().toPoint());
    if (windowType() != Qt::Popup || !outside) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Qt passes a press outside a popup on only when the last popup closes, and the bubble
    // mostly opens over the tray's popover, a popup too: the press goes on from here, so that
    // one click on another help button opens its bubble. Qt's own pass would make it two.
    setAttribute(Qt::WA_NoMouseReplay);
    const QPointF global = event->globalPosition();
    QWidget::mousePressEvent(event); // closes the bubble
    if (QApplication::activeModalWidget())
        return;
    QWidget* under = QApplication::widgetAt(global.toPoint());
    QWindow* window = under ? under->window()->windowHandle() : nullptr;
    if (!window || under->window() == this)
        return;
    const QPointF local = window->mapFromGlobal(global);
    // Posted, as Qt does it: it arrives through the window, as the press itself would have.
    QCoreApplication::postEvent(window, new QMouseEvent(QEvent::MouseButtonPress, local, local,
                                                        global, event->button(), event->buttons(),
                                                        event->modifiers()));
}

void ToolTipPopover::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    Q_EMIT closed();
}

void ToolTipPopover::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        update();
}

} // namespace vantrel
