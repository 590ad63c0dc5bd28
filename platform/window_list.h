#pragma once

#include <optional>
#include <QList>
#include <QRectF>

namespace vantrel {

// One on-screen window. Bounds are in global coordinates whose origin is the top left of the main
// screen, y growing downwards; either field may be unknown. The id is the desktop's handle of the
// window as it is stacked (for this program's own windows, QWindow::winId()); 0 when unknown.
struct WindowDescription {
    std::optional<qint64> ownerProcessIdentifier;
    std::optional<QRectF> bounds;
    quint64 windowId = 0;
    // An icon the application put in the system tray: its own window inside the panel's. Covered
    // like its other windows; the lock window never stands over it.
    bool trayIcon = false;
};

class WindowList {
public:
    virtual ~WindowList() = default;

    // The windows now on screen, front-most first, whatever their layer (this program's own
    // windows and unmanaged ones such as menus included); nothing when the list cannot be had.
    virtual std::optional<QList<WindowDescription>> onScreenWindows() const = 0;
};

} // namespace vantrel
