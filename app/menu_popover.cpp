#include "app/menu_popover.h"

#include "app/borrowed_content.h"
#include "platform/window_compositing.h"
#include "screens/popover_style.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

namespace vantrel {
namespace {

constexpr int arrowHeight = 9;
constexpr int arrowHalfWidth = 11;
constexpr int translucentShadowMargin = 10;

QScreen* screenForIcon(const QRect& iconGeometry) {
    if (!iconGeometry.isEmpty()) {
        if (QScreen* screen = QGuiApplication::screenAt(iconGeometry.center()))
            return screen;
    }
    // Before the panel placed the icon, the user's pointer is the best hint of the screen.
    if (QScreen* screen = QGuiApplication::screenAt(QCursor::pos()))
        return screen;
    return QGuiApplication::primaryScreen();
}

} // namespace

MenuPopover::MenuPopover(Backdrop backdrop)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint) {
    setObjectName(QStringLiteral("menuPopover"));
    m_translucent = backdrop == Backdrop::translucent ||
                    (backdrop == Backdrop::automatic && desktopCompositesWindows());
    setAttribute(Qt::WA_TranslucentBackground, m_translucent);
    // The click on the tray icon that closes the popover must not open it again at once.
    setAttribute(Qt::WA_NoMouseReplay);
    layOutForBorrowedContent(*this);
}

MenuPopover::~MenuPopover() {
    // The content is a shared controller that outlives its popover.
    setContent(nullptr);
}

void MenuPopover::setContent(QWidget* content) {
    showBorrowedContent(*this, m_content, content);
}

int MenuPopover::shadowMargin() const {
    return m_translucent ? translucentShadowMargin : 0;
}

void MenuPopover::placeAgainst(const QRect& iconGeometry, const QRect& screenGeometry,
                               const QRect& availableGeometry) {
    const QSize contentSize = m_content
                                  ? QLayout::closestAcceptableSize(m_content, m_content->sizeHint())
                                  : QSize(320, 240);
    const int shadow = shadowMargin();
    PopoverPlacement placement = placePopover(contentSize + QSize(0, arrowHeight), iconGeometry,
                                              screenGeometry, availableGeometry);
    if (placement.arrowEdge == ArrowEdge::none)
        placement = placePopover(contentSize, iconGeometry, screenGeometry, availableGeometry);
    m_arrowEdge = placement.arrowEdge;
    m_arrowCenter = clampArrowCenter(placement.arrowCenter, contentSize.width(),
                                     style::popoverCornerRadius, arrowHalfWidth);

    const int top = shadow + (m_arrowEdge == ArrowEdge::top ? arrowHeight : 0);
    const int bottom = shadow + (m_arrowEdge == ArrowEdge::bottom ? arrowHeight : 0);
    layout()->setContentsMargins(shadow, top, shadow, bottom);
    layout()->activate();
    adjustSize();
    move(placement.topLeft - QPoint(shadow, shadow));
    if (m_translucent)
        clearMask();
    else
        setMask(QRegion(cardPath().toFillPolygon().toPolygon()));
    update();
}

void MenuPopover::showRelativeTo(const QRect& iconGeometry) {
    QScreen* screen = screenForIcon(iconGeometry);
    if (!screen)
        return;
    setScreen(screen);
    placeAgainst(iconGeometry, screen->geometry(), screen->availableGeometry());
    show();
    raise();
    activateWindow();
}

void MenuPopover::performClose() {
    if (isVisible())
        close();
}

void MenuPopover::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    Q_EMIT didClose();
}

QRect MenuPopover::cardRect() const {
    const int shadow = shadowMargin();
    return rect().adjusted(shadow, shadow, -shadow, -shadow);
}

QPainterPath MenuPopover::cardPath() const {
    QRectF card = cardRect();
    if (m_arrowEdge == ArrowEdge::top)
        card.setTop(card.top() + arrowHeight);
    else if (m_arrowEdge == ArrowEdge::bottom)
        card.setBottom(card.bottom() - arrowHeight);
    const qreal radius = style::popoverCornerRadius;
    QPainterPath path;
    path.addRoundedRect(card, radius, radius);
    if (m_arrowEdge == ArrowEdge::none)
        return path;

    // A soft-tipped arrow that flares into the card's edge.
    const qreal x = card.left() + m_arrowCenter;
    const bool up = m_arrowEdge == ArrowEdge::top;
    const qreal base = up ? card.top() + 1 : card.bottom() - 1;
    const qreal tip = up ? card.top() - arrowHeight : card.bottom() + arrowHeight;
    const qreal tipRound = up ? 1.2 : -1.2;
    QPainterPath arrow;
    arrow.moveTo(x - arrowHalfWidth, base);
    arrow.cubicTo(x - arrowHalfWidth * 0.45, base, x - 2.4, tip + tipRound, x, tip);
    arrow.cubicTo(x + 2.4, tip + tipRound, x + arrowHalfWidth * 0.45, base, x + arrowHalfWidth,
                  base);
    arrow.closeSubpath();
    return path.united(arrow).simplified();
}

void MenuPopover::paintEvent(QPaintEvent*) {
    const style::PopoverColors colors = style::popoverColors(palette());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = cardPath();

    if (m_translucent) {
        // A soft shadow, a few rings fading out from the card's edge.
        const int shadow = shadowMargin();
        for (int ring = shadow; ring >= 1; --ring) {
            const qreal strength = 1.0 - static_cast<qreal>(ring) / (shadow + 1);
            QColor shade(0, 0, 0, qRound((colors.dark ? 46 : 26) * strength * strength));
            QPainterPathStroker stroker;
            stroker.setWidth(ring * 2.0);
            stroker.setJoinStyle(Qt::RoundJoin);
            painter.fillPath(stroker.createStroke(path.translated(0, 1.5)).united(path), shade);
        }
    }
    painter.fillPath(path, colors.card);
    if (m_translucent) {
        painter.setPen(QPen(colors.cardBorder, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    } else {
        // Inside a shape mask the edge has no blending: a crisp inner border instead.
        QPainterPathStroker inner;
        inner.setWidth(2.0);
        painter.fillPath(inner.createStroke(path).intersected(path), colors.cardBorder);
    }
}

} // namespace vantrel
