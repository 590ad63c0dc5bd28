#pragma once

#include "platform/running_application.h"
#include "platform/window_list.h"

#include <optional>
#include <QColor>
#include <QObject>

class QWidget;
class QWindow;

namespace vantrel {

// A change of the list of running applications. Launches carry the newly started applications,
// the new one first; quits carry no new applications.
struct RunningApplicationsChange {
    std::optional<RunningApplicationList> newApplications;
};

// The desktop's view of the running applications, and the one way to bring this program forward.
class Workspace : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~Workspace() override = default;

    virtual RunningApplicationList runningApplications() const = 0;

    // Makes this program the active one, ignoring other applications. With a window, that
    // window is raised above every other window and receives the keyboard focus; one that
    // bypasses the window manager takes it directly.
    virtual void activateSelf(QWindow* keyWindow) = 0;

    // Has the desktop fill the window with a colour the moment it is shown, before this program
    // has painted it.
    virtual void fillOnMap(QWindow* window, const QColor& color) = 0;

    // Sends every key to the window, whoever has the focus, until released; false while another
    // program holds the keyboard or the window is not on screen.
    virtual bool grabKeyboard(QWindow* window) = 0;
    virtual void releaseKeyboard() = 0;

    // Keeps clicks from the windows of these applications from now on, even in the moment one
    // comes back on screen before anything covers it; the others take clicks again.
    virtual void shieldApplications(const QList<WindowOwner>& owners) { Q_UNUSED(owners); }

    // The application whose window has the keyboard focus, where the desktop tells; nothing for
    // none, or for a window of this program.
    virtual std::optional<WindowOwner> focusedApplication() const { return std::nullopt; }

    // Whether the desktop tells where other programs' windows are. Where it does not, a lock
    // covers every screen whole.
    virtual bool knowsWindowPlacement() const { return true; }

    // Puts one of the lock's surfaces (the lock window, a cover) on screen the desktop's own way
    // whenever it is shown, above everything, what it does not paint filled with fill; with
    // takesKeyboard it has the keyboard to itself meanwhile. False where Qt shows it as a window
    // like any other, as on X11.
    virtual bool presentLockSurface(QWidget* surface, const QColor& fill, bool takesKeyboard) {
        Q_UNUSED(surface);
        Q_UNUSED(fill);
        Q_UNUSED(takesKeyboard);
        return false;
    }

Q_SIGNALS:
    void runningApplicationsChanged(const vantrel::RunningApplicationsChange& change);
    // A window of the application came forward or took the keyboard, also one of an application
    // that was active already. Keys typed meanwhile wait until the handlers have run, so that a
    // handler that grabs the keyboard gets them. The application may be null when the desktop could
    // not say which one came forward.
    void applicationActivated(const vantrel::RunningApplicationRef& application);
    // Some window on the screen was shown, hidden, moved, resized or restacked. Reported once for
    // what the desktop changed at once, before anything else reads the window list.
    void windowsChanged();
};

} // namespace vantrel
