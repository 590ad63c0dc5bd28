#pragma once

#include <optional>
#include <QList>
#include <QRectF>
#include <QString>

namespace vantrel {

// One on-screen window. Bounds are in global coordinates whose origin is the top left of the main
// screen, y growing downwards; either field may be unknown. The id is the desktop's handle of the
// window as it is stacked (for this program's own windows, QWindow::winId()); 0 when unknown.
struct WindowDescription {
    std::optional<qint64> ownerProcessIdentifier;
    std::optional<QRectF> bounds;
    quint64 windowId = 0;
    // The desktop-file id of the application the window shows, where the desktop tells: one
    // process may show several applications.
    std::optional<QString> applicationId = std::nullopt;
    // An icon the application put in the system tray: its own window inside the panel's. Covered
    // like its other windows; the lock window never stands over it.
    bool trayIcon = false;
    // Only a stand-in of the window shows, its content withheld: a frame the window manager
    // moves between the window and its icon as it minimises or restores it, or a shaded one.
    // Where it shows next is not known, so a lock covers every screen while it lasts.
    bool inTransition = false;
};

// One application of one process, as far as windows go.
struct WindowOwner {
    qint64 processIdentifier = 0;
    std::optional<QString> applicationId = std::nullopt;
    friend bool operator==(const WindowOwner&, const WindowOwner&) = default;

    // Whether the window is this application's. One whose application the desktop does not tell
    // counts for every application of its process: better covered once too often.
    bool owns(const WindowDescription& window) const {
        return window.ownerProcessIdentifier == processIdentifier &&
               (!window.applicationId.has_value() || window.applicationId == applicationId);
    }
};

class WindowList {
public:
    virtual ~WindowList() = default;

    // The windows now on screen, front-most first, whatever their layer (this program's own
    // windows and unmanaged ones such as menus included); nothing when the list cannot be had.
    virtual std::optional<QList<WindowDescription>> onScreenWindows() const = 0;
};

} // namespace vantrel
