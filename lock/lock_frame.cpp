#include "lock/lock_frame.h"

#include "platform/main_screen.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "store/settings.h"

#include <limits>

namespace vantrel {
namespace {

bool fitsInt32(qint64 value) {
    return value >= std::numeric_limits<qint32>::min() &&
           value <= std::numeric_limits<qint32>::max();
}

} // namespace

QRectF frontWindowBounds(const std::optional<QList<WindowDescription>>& windows,
                         const WindowOwner& owner) {
    if (!windows)
        return {};
    for (const WindowDescription& window : *windows) {
        const auto& process = window.ownerProcessIdentifier;
        // A tray icon is too small to stand over and lies in the panel, away from the windows.
        if (process && fitsInt32(*process) && owner.owns(window) && !window.trayIcon)
            return window.bounds.value_or(QRectF{});
    }
    return {};
}

WindowOwner windowOwnerOf(const RunningApplication& application) {
    return {application.processIdentifier(), application.bundleIdentifier()};
}

std::optional<QRectF> screenShowing(const QRectF& window, const QList<QRectF>& screens) {
    for (const QRectF& screen : screens) {
        if (screen.contains(window.center()))
            return screen;
    }
    std::optional<QRectF> best;
    double bestArea = 0.0;
    for (const QRectF& screen : screens) {
        const QRectF overlap = screen.intersected(window);
        const double area = overlap.width() * overlap.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    return best;
}

std::optional<QRectF> computeLockFrame(const LockFrameInputs& inputs) {
    const QRectF front = frontWindowBounds(inputs.onScreenWindows, inputs.owner);
    if (inputs.fullScreenMode) {
        if (!inputs.mainScreen)
            return std::nullopt;
        QRectF screen(QPointF(0, 0), inputs.mainScreen->size());
        if (!front.isEmpty()) {
            if (const std::optional<QRectF> showing = screenShowing(front, inputs.screens))
                screen = *showing;
        }
        return QRectF(screen.x(), inputs.mainScreen->height() - (screen.y() + screen.height()),
                      screen.width(), screen.height());
    }

    QRectF frame = front;
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

bool lockCoversWholeScreens() {
    return readFlag(keys::isEnableFullscreenLockMode) ||
           (platform().workspace != nullptr && !platform().workspace->knowsWindowPlacement());
}

std::optional<QRectF> lockFrameFor(const RunningApplication& application) {
    LockFrameInputs inputs;
    inputs.fullScreenMode = lockCoversWholeScreens();
    inputs.owner = windowOwnerOf(application);
    inputs.activationPolicy = application.activationPolicy();
    if (platform().windowList != nullptr)
        inputs.onScreenWindows = platform().windowList->onScreenWindows();
    if (platform().mainScreen != nullptr) {
        inputs.mainScreen = platform().mainScreen->frame();
        const QPointF origin = inputs.mainScreen ? inputs.mainScreen->topLeft() : QPointF();
        for (const QRectF& screen : platform().mainScreen->screenFrames())
            inputs.screens.append(screen.translated(-origin));
    }
    return computeLockFrame(inputs);
}

} // namespace vantrel
