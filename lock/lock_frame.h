#pragma once

#include "platform/running_application.h"
#include "platform/window_list.h"

#include <optional>
#include <QRectF>

namespace vantrel {

// The smallest lock window, so that the prompt always fits.
inline constexpr double minimumLockFrameSide = 500.0;

// Everything the place of a lock depends on.
struct LockFrameInputs {
    bool fullScreenMode = false;
    WindowOwner owner;
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
    std::optional<QList<WindowDescription>> onScreenWindows; // front-most first
    std::optional<QRectF> mainScreen;
    QList<QRectF> screens; // every screen, in the main screen's coordinates (origin top left)
};

// Where the lock window stands, in global coordinates whose origin is the bottom left of the main
// screen, y growing upwards (without a main screen, y stays as the window list gives it). Over the
// application's front-most window, at least 500 by 500; over the whole main screen when the
// application shows no window or is not a regular one. In full-screen mode over the whole screen
// that shows the application's front-most window, the main screen when none does; nothing when
// there is no main screen.
std::optional<QRectF> computeLockFrame(const LockFrameInputs& inputs);

// The bounds of the application's front-most window, tray icons aside; the zero rectangle when it
// shows none.
QRectF frontWindowBounds(const std::optional<QList<WindowDescription>>& windows,
                         const WindowOwner& owner);

// The windows of the application are those the window list tells of it.
WindowOwner windowOwnerOf(const RunningApplication& application);

// The screen that shows a window: the one holding its centre, else the one it overlaps most;
// nothing when it lies off every screen.
std::optional<QRectF> screenShowing(const QRectF& window, const QList<QRectF>& screens);

// The same from the settings, the window list and the main screen as they are now.
std::optional<QRectF> lockFrameFor(const RunningApplication& application);

// Whether a lock covers whole screens: in full-screen lock mode, and wherever the desktop does
// not say where the locked application's windows are.
bool lockCoversWholeScreens();

} // namespace vantrel
