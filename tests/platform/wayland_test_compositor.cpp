#include "wayland_test_compositor.h"

#include "plasma-window-management-server-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-server-protocol.h"
#include "wlr-layer-shell-unstable-v1-server-protocol.h"

#include <algorithm>
#include <future>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <wayland-server-protocol.h>

namespace vantrel::wayland {
namespace {

void ignore(wl_client*, wl_resource*) {}
void ignoreSeat(wl_client*, wl_resource*, wl_resource*) {}
void ignoreRectangle(wl_client*, wl_resource*, wl_resource*, int32_t, int32_t, int32_t, int32_t) {}
void ignoreOutput(wl_client*, wl_resource*, wl_resource*) {}
void ignoreLayerSurface(wl_client*, wl_resource*, uint32_t, wl_resource*, wl_resource*, uint32_t,
                        const char*) {}
void destroyResource(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

void stopManager(wl_client*, wl_resource* manager) {
    zwlr_foreign_toplevel_manager_v1_send_finished(manager);
    wl_resource_destroy(manager);
}

// The request tables: "struct", since the protocols' interface objects bear the same names.
const struct zwlr_layer_shell_v1_interface layerShellImplementation = {&ignoreLayerSurface,
                                                                       &destroyResource};
const struct zwlr_foreign_toplevel_manager_v1_interface managerImplementation = {&stopManager};

} // namespace

WaylandTestCompositor::WaylandTestCompositor(WindowManagement management)
    : m_management(management) {
    m_display = wl_display_create();
    wl_display_init_shm(m_display);
    wl_global_create(m_display, &wl_compositor_interface, 4, this, &bindCompositor);
    wl_global_create(m_display, &zwlr_layer_shell_v1_interface, 4, this, &bindLayerShell);
    if (management == WindowManagement::ForeignToplevel)
        wl_global_create(m_display, &zwlr_foreign_toplevel_manager_v1_interface, 3, this,
                         &bindToplevelManager);
    else
        wl_global_create(m_display, &org_kde_plasma_window_management_interface, 16, this,
                         &bindPlasmaManagement);
    int sockets[2] = {-1, -1};
    socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets);
    m_client = wl_client_create(m_display, sockets[0]);
    m_clientSocket = sockets[1];
    m_clientGone.compositor = this;
    m_clientGone.listener.notify = [](wl_listener* listener, void*) {
        reinterpret_cast<ClientListener*>(listener)->compositor->m_client = nullptr;
    };
    wl_client_add_destroy_listener(m_client, &m_clientGone.listener);
    m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    m_wakeSource = wl_event_loop_add_fd(wl_display_get_event_loop(m_display), m_wake,
                                        WL_EVENT_READABLE, &runQueuedWork, this);
    m_thread = std::thread([this] { wl_display_run(m_display); });
}

WaylandTestCompositor::~WaylandTestCompositor() {
    onCompositorThread([this] { wl_display_terminate(m_display); });
    m_thread.join();
    if (m_client != nullptr)
        wl_client_destroy(m_client);
    // The display's event loop does not free the sources added to it.
    if (m_wakeSource != nullptr)
        wl_event_source_remove(m_wakeSource);
    wl_display_destroy(m_display);
    close(m_wake);
    if (m_clientSocket >= 0)
        close(m_clientSocket);
}

int WaylandTestCompositor::takeClientSocket() {
    return std::exchange(m_clientSocket, -1);
}

void WaylandTestCompositor::openWindow(const std::string& appId, uint32_t pid) {
    onCompositorThread([this, appId, pid] {
        Window& window = m_windows.emplace_back();
        window.appId = appId;
        window.pid = pid;
        window.uuid = "{window-" + std::to_string(m_nextUuid++) + "}";
        for (wl_resource* manager : m_managers)
            announce(window, manager);
    });
}

void WaylandTestCompositor::activateWindow(const std::string& appId) {
    onCompositorThread([this, appId] {
        for (Window& window : m_windows) {
            const bool active = window.appId == appId;
            const uint32_t state =
                active ? (window.state | ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE)
                       : (window.state & ~uint32_t(ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE));
            if (state == window.state)
                continue;
            window.state = state;
            sendPlasmaState(window);
        }
    });
}

void WaylandTestCompositor::placeWindow(const std::string& appId, int x, int y, int width,
                                        int height) {
    onCompositorThread([=, this] {
        for (Window& window : m_windows) {
            if (window.appId != appId)
                continue;
            window.x = x;
            window.y = y;
            window.width = width;
            window.height = height;
            for (wl_resource* handle : window.handles)
                org_kde_plasma_window_send_geometry(handle, x, y, uint32_t(width),
                                                    uint32_t(height));
            return;
        }
    });
}

void WaylandTestCompositor::raiseWindow(const std::string& appId) {
    onCompositorThread([this, appId] {
        const auto found = std::find_if(m_windows.begin(), m_windows.end(),
                                        [&](const Window& each) { return each.appId == appId; });
        if (found == m_windows.end())
            return;
        m_windows.splice(m_windows.end(), m_windows, found);
        sendStackingOrder();
    });
}

void WaylandTestCompositor::sendStackingOrder() {
    std::string uuids;
    for (const Window& window : m_windows)
        uuids += (uuids.empty() ? "" : ";") + window.uuid;
    for (wl_resource* manager : m_managers)
        org_kde_plasma_window_management_send_stacking_order_uuid_changed(manager, uuids.c_str());
}

int WaylandTestCompositor::minimizedWindows(const std::string& appId) {
    int count = 0;
    onCompositorThread([&] {
        for (const Window& window : m_windows) {
            if (window.appId == appId &&
                (window.state & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED) != 0)
                ++count;
        }
    });
    return count;
}

void WaylandTestCompositor::closeWindow(const std::string& appId) {
    onCompositorThread([this, appId] {
        const auto closing = std::find_if(m_windows.begin(), m_windows.end(),
                                          [&](const Window& each) { return each.appId == appId; });
        if (closing == m_windows.end())
            return;
        // The handles stay until the client destroys them.
        for (wl_resource* handle : closing->handles) {
            if (m_management == WindowManagement::Plasma)
                org_kde_plasma_window_send_unmapped(handle);
            else
                zwlr_foreign_toplevel_handle_v1_send_closed(handle);
        }
        m_windows.erase(closing);
    });
}

void WaylandTestCompositor::onCompositorThread(std::function<void()> work) {
    std::promise<void> done;
    {
        const std::lock_guard lock(m_queueLock);
        m_queue.push_back([&] {
            work();
            done.set_value();
        });
    }
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(m_wake, &one, sizeof one);
    done.get_future().wait();
}

int WaylandTestCompositor::runQueuedWork(int fd, uint32_t, void* data) {
    auto* self = static_cast<WaylandTestCompositor*>(data);
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t read = ::read(fd, &count, sizeof count);
    std::vector<std::function<void()>> work;
    {
        const std::lock_guard lock(self->m_queueLock);
        work.swap(self->m_queue);
    }
    for (const auto& each : work)
        each();
    // Sent now, not when the loop next wakes.
    wl_display_flush_clients(self->m_display);
    return 0;
}

void WaylandTestCompositor::bindCompositor(wl_client* client, void*, uint32_t version,
                                           uint32_t id) {
    // The workspace makes no surfaces here: no request is ever handled.
    wl_resource_create(client, &wl_compositor_interface, int(version), id);
}

void WaylandTestCompositor::bindLayerShell(wl_client* client, void*, uint32_t version,
                                           uint32_t id) {
    wl_resource* shell =
        wl_resource_create(client, &zwlr_layer_shell_v1_interface, int(version), id);
    wl_resource_set_implementation(shell, &layerShellImplementation, nullptr, nullptr);
}

void WaylandTestCompositor::bindToplevelManager(wl_client* client, void* data, uint32_t version,
                                                uint32_t id) {
    auto* self = static_cast<WaylandTestCompositor*>(data);
    wl_resource* manager =
        wl_resource_create(client, &zwlr_foreign_toplevel_manager_v1_interface, int(version), id);
    wl_resource_set_implementation(manager, &managerImplementation, self, &managerGone);
    self->m_managers.push_back(manager);
    for (Window& window : self->m_windows)
        self->announce(window, manager);
}

void WaylandTestCompositor::managerGone(wl_resource* manager) {
    auto* self = static_cast<WaylandTestCompositor*>(wl_resource_get_user_data(manager));
    std::erase(self->m_managers, manager);
}

void WaylandTestCompositor::bindPlasmaManagement(wl_client* client, void* data, uint32_t version,
                                                 uint32_t id) {
    // By name: the requests the workspace makes; a newer protocol description adds more.
    static const struct org_kde_plasma_window_management_interface implementation = [] {
        struct org_kde_plasma_window_management_interface requests {};
        requests.get_window_by_uuid = &getPlasmaWindow;
        return requests;
    }();
    auto* self = static_cast<WaylandTestCompositor*>(data);
    wl_resource* management =
        wl_resource_create(client, &org_kde_plasma_window_management_interface, int(version), id);
    wl_resource_set_implementation(management, &implementation, self, &managerGone);
    self->m_managers.push_back(management);
    for (Window& window : self->m_windows)
        self->announce(window, management);
}

void WaylandTestCompositor::getPlasmaWindow(wl_client* client, wl_resource* management, uint32_t id,
                                            const char* uuid) {
    static const struct org_kde_plasma_window_interface implementation = [] {
        struct org_kde_plasma_window_interface requests {};
        requests.set_state = &setPlasmaState;
        requests.destroy = &destroyHandle;
        return requests;
    }();
    auto* self = static_cast<WaylandTestCompositor*>(wl_resource_get_user_data(management));
    wl_resource* handle = wl_resource_create(client, &org_kde_plasma_window_interface,
                                             wl_resource_get_version(management), id);
    wl_resource_set_implementation(handle, &implementation, self, &handleGone);
    ++self->m_liveHandles;
    const auto window = std::find_if(self->m_windows.begin(), self->m_windows.end(),
                                     [&](const Window& each) { return each.uuid == uuid; });
    if (window == self->m_windows.end()) {
        // Gone meanwhile, as KWin tells it.
        org_kde_plasma_window_send_unmapped(handle);
        org_kde_plasma_window_send_initial_state(handle);
        return;
    }
    window->handles.push_back(handle);
    // KWin 5.27's order: the app_id and process before the initial state, the place after it.
    org_kde_plasma_window_send_app_id_changed(handle, window->appId.c_str());
    org_kde_plasma_window_send_pid_changed(handle, window->pid);
    org_kde_plasma_window_send_title_changed(handle, "window");
    org_kde_plasma_window_send_state_changed(handle, window->state);
    org_kde_plasma_window_send_initial_state(handle);
    org_kde_plasma_window_send_geometry(handle, window->x, window->y, uint32_t(window->width),
                                        uint32_t(window->height));
}

void WaylandTestCompositor::setPlasmaState(wl_client*, wl_resource* handle, uint32_t flags,
                                           uint32_t state) {
    auto* self = static_cast<WaylandTestCompositor*>(wl_resource_get_user_data(handle));
    Window* window = self->windowOfHandle(handle);
    if (window == nullptr)
        return;
    window->state = (window->state & ~flags) | (state & flags);
    // A window minimised is no longer the active one, as in KWin.
    if ((window->state & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED) != 0)
        window->state &= ~uint32_t(ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
    self->sendPlasmaState(*window);
}

void WaylandTestCompositor::sendPlasmaState(Window& window) {
    for (wl_resource* handle : window.handles)
        org_kde_plasma_window_send_state_changed(handle, window.state);
}

WaylandTestCompositor::Window* WaylandTestCompositor::windowOfHandle(wl_resource* handle) {
    for (Window& window : m_windows) {
        if (std::find(window.handles.cbegin(), window.handles.cend(), handle) !=
            window.handles.cend())
            return &window;
    }
    return nullptr;
}

void WaylandTestCompositor::announce(Window& window, wl_resource* manager) {
    if (m_management == WindowManagement::Plasma) {
        org_kde_plasma_window_management_send_window_with_uuid(manager, 0, window.uuid.c_str());
        return;
    }
    static const struct zwlr_foreign_toplevel_handle_v1_interface handleImplementation = {
        &ignore, &ignore,          &ignore,        &ignore,       &ignoreSeat,
        &ignore, &ignoreRectangle, &destroyHandle, &ignoreOutput, &ignore};
    wl_resource* handle = wl_resource_create(wl_resource_get_client(manager),
                                             &zwlr_foreign_toplevel_handle_v1_interface,
                                             wl_resource_get_version(manager), 0);
    wl_resource_set_implementation(handle, &handleImplementation, this, &handleGone);
    window.handles.push_back(handle);
    ++m_liveHandles;
    zwlr_foreign_toplevel_manager_v1_send_toplevel(manager, handle);
    zwlr_foreign_toplevel_handle_v1_send_app_id(handle, window.appId.c_str());
    wl_array states;
    wl_array_init(&states);
    zwlr_foreign_toplevel_handle_v1_send_state(handle, &states);
    wl_array_release(&states);
    zwlr_foreign_toplevel_handle_v1_send_done(handle);
}

void WaylandTestCompositor::destroyHandle(wl_client*, wl_resource* handle) {
    ++static_cast<WaylandTestCompositor*>(wl_resource_get_user_data(handle))->m_destroyedHandles;
    wl_resource_destroy(handle);
}

void WaylandTestCompositor::handleGone(wl_resource* handle) {
    auto* self = static_cast<WaylandTestCompositor*>(wl_resource_get_user_data(handle));
    for (Window& window : self->m_windows)
        std::erase(window.handles, handle);
    --self->m_liveHandles;
}

} // namespace vantrel::wayland
