#include "platform/x11/x11_desktop.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_tray_icons.h"

namespace vantrel {

std::optional<X11Desktop> makeX11Desktop(X11Workspace::Providers providers) {
    std::shared_ptr<x11::X11Connection> connection = x11::X11Connection::fromQt();
    if (!connection) {
        return std::nullopt;
    }
    X11Desktop desktop;
    desktop.workspace = std::make_unique<X11Workspace>(connection, std::move(providers));
    const X11Workspace* workspace = desktop.workspace.get();
    desktop.windowList = std::make_unique<X11WindowList>(connection, [workspace](quint32 window) {
        return workspace->applicationIdOfWindow(window);
    });
    // Inside a panel, tray icons come, go and move without a word at the root.
    QObject::connect(&desktop.windowList->trayIcons(), &x11::TrayIcons::changed,
                     desktop.workspace.get(), &Workspace::windowsChanged);
    return desktop;
}

} // namespace vantrel
