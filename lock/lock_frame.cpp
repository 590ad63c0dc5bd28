#include "lock/lock_frame.h"

#include "platform/main_screen.h"
#include "platform/platform.h"
#include "store/settings.h"

#include <limits>

namespace vantrel {
namespace {

bool fitsInt32(qint64 value) {
    return value >= std::numeric_limits<qint32>::min() &&
           value <= std::numeric_limits<qint32>::max();
}

// The bounds of the application's front-most window; the zero rectangle when there is none.
QRectF frontWindowBounds(const std::optional<QList<WindowDescription>>& windows, qint64 pid) {
    if (!windows)
        return {};
    for (const WindowDescription& window : *windows) {
        const auto& owner = window.ownerProcessIdentifier;
        if (owner && fitsInt32(*owner) && *owner == pid)
            return window.bounds.value_or(QRectF{});
    }
    return {};
}

} // namespace

std::optional<QRectF> computeLockFrame(const LockFrameInputs& inputs) {
    if (inputs.fullScreenMode) {
        if (!inputs.mainScreen)
            return std::nullopt;
        return QRectF(0, 0, inputs.mainScreen->width(), inputs.mainScreen->height());
    }

    QRectF frame = frontWindowBounds(inputs.onScreenWindows, inputs.processIdentifier);
    const bool noWindow = frame.width() == 0.0 || frame.height() == 0.0;
    if ((noWindow || inputs.activationPolicy != ActivationPolicy::Regular) && inputs.mainScreen)
        frame = QRectF(0, 0, inputs.mainScreen->width(), inputs.mainScreen->height());

    if (frame.width() < minimumLockFrameSide)
        frame.setWidth(minimumLockFrameSide);
    if (frame.height() < minimumLockFrameSide)
        frame.setHeight(minimumLockFrameSide);

    // The window list counts y downwards from the top; the lock frame counts it upwards.
    if (inputs.mainScreen)
        frame.moveTop(inputs.mainScreen->height() - (frame.y() + frame.height()));
    return frame;
}

std::optional<QRectF> lockFrameFor(const RunningApplication& application) {
    LockFrameInputs inputs;
    inputs.fullScreenMode = readFlag(keys::isEnableFullscreenLockMode);
    inputs.processIdentifier = application.processIdentifier();
    inputs.activationPolicy = application.activationPolicy();
    if (!inputs.fullScreenMode && platform().windowList != nullptr)
        inputs.onScreenWindows = platform().windowList->onScreenWindows();
    if (platform().mainScreen != nullptr)
        inputs.mainScreen = platform().mainScreen->frame();
    return computeLockFrame(inputs);
}

} // namespace vantrel
