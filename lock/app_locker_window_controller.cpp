#include "lock/app_locker_window_controller.h"

#include "lock/app_locker_view_controller.h"
#include "lock/app_locker_window.h"
#include "platform/platform.h"
#include "platform/workspace.h"

#include <QApplication>

namespace vantrel {

AppLockerWindowController::AppLockerWindowController(QObject* parent)
    : QObject(parent)
    , m_window(new AppLockerWindow)
    , m_content(new AppLockerViewController) {
    m_window->setContentView(m_content);
    // The native window exists from now on, so the desktop can be told about it before it maps.
    m_window->winId();
}

AppLockerWindowController::~AppLockerWindowController() {
    delete m_window;
}

void AppLockerWindowController::showWindow() {
    // An open popup of ours (the popover, its menu, a help bubble) holds the keyboard and the
    // pointer; it would keep the password away from the lock window.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    // Again at every showing, and before the window is mapped, so that the window manager takes
    // the window on with it: window managers drop it while a window is unmapped.
    if (platform().workspace != nullptr) {
        m_window->winId();
        platform().workspace->showOnAllDesktops(m_window->windowHandle());
    }
    m_window->show();
    m_window->raise();
}

} // namespace vantrel
