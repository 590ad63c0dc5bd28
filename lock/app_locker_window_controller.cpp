#include "lock/app_locker_window_controller.h"

#include "lock/app_locker_view_controller.h"
#include "lock/app_locker_window.h"
#include "lock/cover_window.h"
#include "lock/keyboard_hold.h"
#include "lock/lock_covers.h"
#include "lock/lock_frame.h"
#include "lock/pending_lock_apps.h"
#include "platform/platform.h"
#include "platform/workspace.h"

#include <algorithm>
#include <QApplication>
#include <QEvent>
#include <QWindow>

namespace vantrel {
namespace {

// The lock window bypasses the window manager, so a click on it does not give it the focus by
// itself.
class FocusOnPress final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::MouseButtonPress && window != nullptr && !window->isActive() &&
            platform().workspace != nullptr)
            platform().workspace->activateSelf(window);
        return false;
    }
};

// Whether a window of this owner may be a locked application's: one whose application is not
// told counts for every application of its process.
bool isPendingWindowOwner(const WindowOwner& focused) {
    const RunningApplicationList& pending = pendingLockApps();
    return std::any_of(pending.cbegin(), pending.cend(), [&](const RunningApplicationRef& app) {
        const WindowOwner owner = windowOwnerOf(*app);
        return owner.processIdentifier == focused.processIdentifier &&
               (!owner.applicationId || !focused.applicationId ||
                owner.applicationId == focused.applicationId);
    });
}

} // namespace

AppLockerWindowController::AppLockerWindowController(QObject* parent)
    : QObject(parent)
    , m_window(new AppLockerWindow)
    , m_content(new AppLockerViewController)
    , m_covers(nullptr)
    , m_keyboardHold(new KeyboardHold(this)) {
    m_window->setContentView(m_content);
    m_window->winId();
    m_window->windowHandle()->installEventFilter(new FocusOnPress(this));
    m_surfaceTakesKeyboard = adoptLockSurface(m_window, true);
    m_covers = new LockCovers(m_window, this);
    m_keyboardHold->setActivation([](QWindow* window) {
        if (platform().workspace != nullptr)
            platform().workspace->activateSelf(window);
    });
    m_keyboardHold->setFocusMayStay([] {
        const std::optional<WindowOwner> focused = platform().workspace != nullptr
                                                       ? platform().workspace->focusedApplication()
                                                       : std::nullopt;
        return focused && !isPendingWindowOwner(*focused);
    });
}

AppLockerWindowController::~AppLockerWindowController() {
    delete m_keyboardHold;
    m_keyboardHold = nullptr;
    delete m_covers;
    m_covers = nullptr;
    delete m_window;
}

void AppLockerWindowController::showWindow() {
    // An open popup of ours (the popover, its menu, a help bubble) holds the keyboard and the
    // pointer; it would keep the password away from the lock window.
    while (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    m_window->show();
    m_window->raise();
}

} // namespace vantrel
