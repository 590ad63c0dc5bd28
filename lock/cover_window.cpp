#include "lock/cover_window.h"

#include "lock/lock_card_art.h"
#include "platform/platform.h"
#include "platform/workspace.h"

#include <QMouseEvent>
#include <QPainter>

namespace vantrel {
namespace {

constexpr int iconSide = 72;

} // namespace

Qt::WindowFlags lockSurfaceFlags() {
    return Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
           Qt::BypassWindowManagerHint;
}

bool adoptLockSurface(QWidget* surface, bool takesKeyboard) {
    Workspace* workspace = platform().workspace;
    if (workspace == nullptr)
        return false;
    workspace->fillOnMap(surface->windowHandle(), lockBackdropColor());
    return workspace->presentLockSurface(surface, lockBackdropColor(), takesKeyboard);
}

CoverWindow::CoverWindow(QWidget* parent)
    : QWidget(parent, lockSurfaceFlags() | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("CoverWindow"));
    setWindowTitle(QStringLiteral("Vantrel cover"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Locked. Click to unlock."));
}

void CoverWindow::setOwner(const WindowOwner& owner, quint64 window, const QIcon& icon,
                           const QString& name) {
    const bool changed = owner != m_owner || name != m_name || icon.isNull() != m_icon.isNull();
    m_owner = owner;
    m_hiddenWindow = window;
    m_icon = icon;
    m_name = name;
    if (changed)
        update();
}

void CoverWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintLockBackdrop(painter, rect());
    if (width() < iconSide * 2 || height() < iconSide * 2)
        return;
    const QPixmap badge = lockedAppIcon(m_icon, m_name, iconSide, devicePixelRatioF());
    painter.drawPixmap((width() - iconSide) / 2, (height() - iconSide) / 2, badge);
}

void CoverWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    Q_EMIT clicked();
}

} // namespace vantrel
