#include "platform/linux/x11_desktop.h"

#include "platform/linux/x11_connection.h"

namespace vantrel {

std::optional<X11Desktop> makeX11Desktop(X11Workspace::Providers providers) {
    std::shared_ptr<x11::X11Connection> connection = x11::X11Connection::fromQt();
    if (!connection) {
        return std::nullopt;
    }
    X11Desktop desktop;
    desktop.workspace = std::make_unique<X11Workspace>(connection, std::move(providers));
    desktop.windowList = std::make_unique<X11WindowList>(connection);
    return desktop;
}

} // namespace vantrel
