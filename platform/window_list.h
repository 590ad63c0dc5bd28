#pragma once

#include <optional>
#include <QList>
#include <QRectF>

namespace vantrel {

// One on-screen window. Bounds are in global coordinates whose origin is the top left of the main
// screen, y growing downwards; either field may be unknown.
struct WindowDescription {
    std::optional<qint64> ownerProcessIdentifier;
    std::optional<QRectF> bounds;
};

class WindowList {
public:
    virtual ~WindowList() = default;

    // The windows now on screen, front-most first; nothing when the list cannot be had.
    virtual std::optional<QList<WindowDescription>> onScreenWindows() const = 0;
};

} // namespace vantrel
