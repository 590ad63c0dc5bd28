#include "platform/wayland/wlroots/wlroots_workspace.h"

#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wlroots/sway_commands.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <algorithm>
#include <wayland-client.h>

namespace vantrel::wayland {
namespace {

ForeignToplevel& of(void* data) {
    return *static_cast<ForeignToplevel*>(data);
}

void onTitle(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}

void onAppId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
    of(data).pending.appId = QString::fromUtf8(appId);
}

void onOutputEnter(void* data, zwlr_foreign_toplevel_handle_v1*, wl_output*) {
    ForeignToplevel& toplevel = of(data);
    ++toplevel.outputs;
    toplevel.everOnOutput = true;
}

void onOutputLeave(void* data, zwlr_foreign_toplevel_handle_v1*, wl_output*) {
    ForeignToplevel& toplevel = of(data);
    toplevel.outputs = std::max(0, toplevel.outputs - 1);
}

void onState(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
    ToplevelState& pending = of(data).pending;
    pending.activated = false;
    pending.minimized = false;
    const auto* state = static_cast<const uint32_t*>(states->data);
    for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i) {
        if (state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
            pending.activated = true;
        else if (state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED)
            pending.minimized = true;
    }
}

void onDone(void* data, zwlr_foreign_toplevel_handle_v1*) {
    of(data).workspace->foreignToplevelDone(of(data));
}

void onClosed(void* data, zwlr_foreign_toplevel_handle_v1*) {
    of(data).workspace->foreignToplevelClosed(of(data));
}

void onParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                zwlr_foreign_toplevel_handle_v1* handle) {
    static_cast<WlrootsWorkspace*>(data)->addToplevel(handle);
}

void onFinished(void* data, zwlr_foreign_toplevel_manager_v1*) {
    static_cast<WlrootsWorkspace*>(data)->managerFinished();
}

const zwlr_foreign_toplevel_handle_v1_listener handleListener = {
    &onTitle, &onAppId, &onOutputEnter, &onOutputLeave, &onState, &onDone, &onClosed, &onParent};
const zwlr_foreign_toplevel_manager_v1_listener managerListener = {&onToplevel, &onFinished};

} // namespace

WlrootsWorkspace::WlrootsWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                                   QObject* parent)
    : ToplevelWorkspace(std::move(connection), std::move(providers), parent)
    , m_sway(SwayCommands::forSession()) {
    // Listening from the bind on: the compositor's answer lists the windows open now. Nobody
    // listens to this workspace yet, so their applications are running but not launched, as on
    // X11: locked from their next launch on.
    m_manager = this->connection().bindToplevelManager();
    if (m_manager != nullptr)
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &managerListener, this);
    this->connection().roundtrip();
}

WlrootsWorkspace::~WlrootsWorkspace() {
    for (const auto& toplevel : toplevels())
        zwlr_foreign_toplevel_handle_v1_destroy(static_cast<ForeignToplevel&>(*toplevel).handle);
    if (m_manager != nullptr) {
        zwlr_foreign_toplevel_manager_v1_stop(m_manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }
    connection().flush();
}

void WlrootsWorkspace::managerFinished() {
    // The compositor announces no more toplevels; those known stay until they close.
    zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_manager = nullptr;
}

void WlrootsWorkspace::addToplevel(zwlr_foreign_toplevel_handle_v1* handle) {
    auto toplevel = std::make_unique<ForeignToplevel>();
    toplevel->handle = handle;
    toplevel->workspace = this;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, toplevel.get());
    adopt(std::move(toplevel));
}

void WlrootsWorkspace::foreignToplevelDone(ForeignToplevel& toplevel) {
    toplevelDone(toplevel, toplevel.pending);
}

void WlrootsWorkspace::foreignToplevelClosed(ForeignToplevel& toplevel) {
    zwlr_foreign_toplevel_handle_v1_destroy(toplevel.handle);
    toplevelClosed(toplevel);
}

void WlrootsWorkspace::requestMinimize(Toplevel& toplevel) {
    zwlr_foreign_toplevel_handle_v1_set_minimized(static_cast<ForeignToplevel&>(toplevel).handle);
}

bool WlrootsWorkspace::requestActivate(Toplevel& toplevel) {
    // The protocol activates for a seat.
    if (connection().seat() == nullptr)
        return false;
    auto& foreign = static_cast<ForeignToplevel&>(toplevel);
    if (foreign.minimized)
        zwlr_foreign_toplevel_handle_v1_unset_minimized(foreign.handle);
    zwlr_foreign_toplevel_handle_v1_activate(foreign.handle, connection().seat());
    return true;
}

void WlrootsWorkspace::minimizeRequested(const WaylandRunningApplication& application) {
    // sway has no minimised state and ignores the request; its scratchpad hides windows instead,
    // and the toplevels say nothing of it: not minimised, not leaving their output.
    if (!m_sway)
        return;
    const QString key = application.key();
    m_sway->moveToScratchpad(application.appId(), [this, key](bool moved) {
        if (!moved)
            return;
        for (const auto& toplevel : toplevels()) {
            if (toplevel->application && toplevel->application->key() == key) {
                toplevel->hiddenByDesktop = true;
                updateHidden(*toplevel->application);
            }
        }
    });
}

} // namespace vantrel::wayland
