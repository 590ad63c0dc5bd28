#include "platform/wayland/wayland_desktop.h"

#include "plasma-window-management-client-protocol.h"
#include "platform/kwin/kwin_window_marks.h"
#include "platform/wayland/plasma/plasma_workspace.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wlroots/wlroots_workspace.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <cstdio>
#include <cstring>
#include <wayland-client.h>

namespace vantrel::wayland {
namespace {

void noteGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t version) {
    auto* offer = static_cast<CompositorOffer*>(data);
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        offer->layerShell = true;
    else if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0)
        offer->toplevelManager = true;
    else if (std::strcmp(interface, org_kde_plasma_window_management_interface.name) == 0)
        offer->plasmaManagement = version >= Connection::oldestPlasmaManagement;
    // KWin offers Plasma's shell to every client, whatever its desktop entry says; sway offers
    // some org_kde_kwin_ globals too, so those tell nothing.
    if (std::strcmp(interface, "org_kde_plasma_shell") == 0)
        offer->kwin = true;
}

void ignoreRemoval(void*, wl_registry*, uint32_t) {}

} // namespace

CompositorOffer askCompositor() {
    CompositorOffer offer;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return offer;
    static const wl_registry_listener listener = {&noteGlobal, &ignoreRemoval};
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offer);
    offer.answers = wl_display_roundtrip(display) >= 0;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offer;
}

std::unique_ptr<ToplevelWorkspace> makeWaylandWorkspace(ToplevelWorkspace::Providers providers) {
    std::shared_ptr<Connection> connection = Connection::open();
    if (!connection || !connection->offersLockProtocols())
        return nullptr;
    if (connection->offersPlasmaWindowManagement()) {
        std::unique_ptr<kwin::KWinWindowMarks> marks = kwin::KWinWindowMarks::connect();
        if (!marks) {
            std::fprintf(stderr, "%s\n",
                         "Vantrel cannot lock applications on this KDE Plasma session: KWin's "
                         "scripting does not answer on the session bus (org.kde.KWin /Scripting), "
                         "and without it Plasma's Overview, Present Windows and Alt+Tab switcher "
                         "would show a locked application's windows.");
            return nullptr;
        }
        return std::make_unique<PlasmaWorkspace>(std::move(connection), std::move(providers),
                                                 std::move(marks));
    }
    return std::make_unique<WlrootsWorkspace>(std::move(connection), std::move(providers));
}

} // namespace vantrel::wayland
