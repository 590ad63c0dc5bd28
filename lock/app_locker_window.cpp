#include "lock/app_locker_window.h"

#include "lock/cover_window.h"
#include "lock/lock_card_art.h"
#include "platform/main_screen.h"
#include "platform/platform.h"

#include <cmath>
#include <QCloseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace vantrel {

QRect windowGeometryForLockFrame(const QRectF& lockFrame, const std::optional<QRectF>& mainScreen) {
    QRectF geometry = lockFrame;
    if (mainScreen) {
        // Flip y about the main screen's height, then place relative to that screen.
        geometry.moveTop(mainScreen->height() - (lockFrame.y() + lockFrame.height()));
        geometry.translate(mainScreen->topLeft());
    }
    return QRect(static_cast<int>(std::lround(geometry.x())),
                 static_cast<int>(std::lround(geometry.y())),
                 static_cast<int>(std::lround(geometry.width())),
                 static_cast<int>(std::lround(geometry.height())));
}

AppLockerWindow::AppLockerWindow(QWidget* parent)
    : QWidget(parent, lockSurfaceFlags()) {
    setObjectName(QStringLiteral("AppLockerWindow"));
    setWindowTitle(QStringLiteral("Vantrel"));
    // Closing the lock window is never the end of the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void AppLockerWindow::setContentView(QWidget* content) {
    if (m_content != nullptr) {
        layout()->removeWidget(m_content);
        m_content->setParent(nullptr);
    }
    m_content = content;
    if (m_content != nullptr)
        layout()->addWidget(m_content);
}

void AppLockerWindow::setFrame(const QRectF& lockFrame) {
    std::optional<QRectF> mainScreen;
    if (platform().mainScreen != nullptr)
        mainScreen = platform().mainScreen->frame();
    setGeometry(windowGeometryForLockFrame(lockFrame, mainScreen));
    if (isVisible())
        repaint();
}

void AppLockerWindow::paintEvent(QPaintEvent*) {
    // Opaque, so that nothing of the locked application shows through.
    QPainter painter(this);
    paintLockBackdrop(painter, rect());
}

void AppLockerWindow::closeWindow() {
    // Hidden rather than closed: the native window, and what watches it, stay for the next lock.
    m_closing = true;
    hide();
    m_closing = false;
}

void AppLockerWindow::closeEvent(QCloseEvent* event) {
    // A close from the window manager (a key, a menu) would uncover the application.
    if (!m_closing) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace vantrel
