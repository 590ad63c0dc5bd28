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
    qint64 processIdentifier = 0;
    ActivationPolicy activationPolicy = ActivationPolicy::Regular;
    std::optional<QList<WindowDescription>> onScreenWindows; // front-most first
    std::optional<QRectF> mainScreen;
};

// Where the lock window stands, in global coordinates whose origin is the bottom left of the main
// screen, y growing upwards (without a main screen, y stays as the window list gives it). Over the
// application's front-most window, at least 500 by 500; over the whole main screen in full-screen
// mode, or when the application shows no window or is not a regular one. Nothing when full-screen
// mode finds no main screen.
std::optional<QRectF> computeLockFrame(const LockFrameInputs& inputs);

// The same from the settings, the window list and the main screen as they are now.
std::optional<QRectF> lockFrameFor(const RunningApplication& application);

} // namespace vantrel
