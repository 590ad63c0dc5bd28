#include "lock/app_locker_window_controller.h"

#include "lock/app_locker_view_controller.h"
#include "lock/app_locker_window.h"
#include "platform/platform.h"
#include "platform/workspace.h"

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
    m_window->show();
    m_window->raise();
    // Again at every showing: some window managers forget it while the window is unmapped.
    if (platform().workspace != nullptr)
        platform().workspace->showOnAllDesktops(m_window->windowHandle());
}

} // namespace vantrel
