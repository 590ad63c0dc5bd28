#include "platform/wayland/wayland_desktop.h"

#include "platform/wayland/wayland_connection.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <cstring>
#include <wayland-client.h>

namespace vantrel::wayland {
namespace {

struct Offered {
    bool layerShell = false;
    bool toplevelManager = false;
};

void noteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    auto* offered = static_cast<Offered*>(data);
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        offered->layerShell = true;
    else if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0)
        offered->toplevelManager = true;
}

void ignoreRemoval(void*, wl_registry*, uint32_t) {}

} // namespace

bool compositorAnswers(bool* offersLockProtocols) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return false;
    static const wl_registry_listener listener = {&noteGlobal, &ignoreRemoval};
    Offered offered;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    const bool answered = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    *offersLockProtocols = answered && offered.layerShell && offered.toplevelManager;
    return answered;
}

std::unique_ptr<WaylandWorkspace> makeWaylandWorkspace(WaylandWorkspace::Providers providers) {
    std::shared_ptr<Connection> connection = Connection::open();
    if (!connection || !connection->offersLockProtocols())
        return nullptr;
    return std::make_unique<WaylandWorkspace>(std::move(connection), std::move(providers));
}

} // namespace vantrel::wayland
