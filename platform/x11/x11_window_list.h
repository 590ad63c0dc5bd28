#pragma once

#include "platform/window_list.h"

#include <functional>
#include <memory>

namespace vantrel {

namespace x11 {
class X11Connection;
class TrayIcons;
} // namespace x11

// The windows the user sees now, front to back as the X server stacks them: the frames of managed
// windows viewable on the current desktop and the windows that bypass the window manager (menus,
// tooltips, this program's lock), with the owning process when the client runs on this host and
// the frame's bounds in Qt's coordinates from the main screen's top left corner; and, each in
// front of the panel that shows it, the icons other processes put in the system tray.
class X11WindowList final : public WindowList {
public:
    // The application a client window shows, as the workspace recognised it.
    using ApplicationOfWindow = std::function<std::optional<QString>(quint32 window)>;

    explicit X11WindowList(std::shared_ptr<x11::X11Connection> connection,
                           ApplicationOfWindow applicationOfWindow = {});
    ~X11WindowList() override;

    std::optional<QList<WindowDescription>> onScreenWindows() const override;

    // Tells when icons in the system tray may have changed, which no event at the root says.
    x11::TrayIcons& trayIcons() { return *m_trayIcons; }

private:
    std::shared_ptr<x11::X11Connection> m_connection;
    ApplicationOfWindow m_applicationOfWindow;
    std::unique_ptr<x11::TrayIcons> m_trayIcons;
};

} // namespace vantrel
