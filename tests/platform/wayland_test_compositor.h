#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <wayland-server-core.h>

namespace vantrel::wayland {

// A compositor of the tests' own, on libwayland-server in a thread of its own: it offers what the
// workspace asks for (compositor, shm, layer shell, foreign-toplevel manager) and tells every
// binding of the toplevel manager of its windows, those open at the bind first, as wlroots does.
// One client, on a socket pair: hand takeClientSocket() to the client as WAYLAND_SOCKET.
class WaylandTestCompositor {
public:
    WaylandTestCompositor();
    ~WaylandTestCompositor();
    WaylandTestCompositor(const WaylandTestCompositor&) = delete;
    WaylandTestCompositor& operator=(const WaylandTestCompositor&) = delete;

    int takeClientSocket();

    // A window of the app_id opens, or the first one of it closes. Returns once the compositor
    // has told its client.
    void openWindow(const std::string& appId);
    void closeWindow(const std::string& appId);

    // The toplevel handles the client asked to destroy, and those it still holds.
    int destroyedHandles() const { return m_destroyedHandles; }
    int liveHandles() const { return m_liveHandles; }

private:
    struct Window {
        std::string appId;
        std::vector<wl_resource*> handles;
    };
    struct ClientListener {
        wl_listener listener;
        WaylandTestCompositor* compositor;
    };

    // Runs on the compositor's thread, and waits for it.
    void onCompositorThread(std::function<void()> work);
    static int runQueuedWork(int fd, uint32_t mask, void* data);

    static void bindCompositor(wl_client* client, void* data, uint32_t version, uint32_t id);
    static void bindLayerShell(wl_client* client, void* data, uint32_t version, uint32_t id);
    static void bindToplevelManager(wl_client* client, void* data, uint32_t version, uint32_t id);
    static void managerGone(wl_resource* manager);
    static void handleGone(wl_resource* handle);
    static void destroyHandle(wl_client* client, wl_resource* handle);
    void announce(Window& window, wl_resource* manager);

    wl_display* m_display = nullptr;
    wl_client* m_client = nullptr;
    int m_clientSocket = -1;
    int m_wake = -1;
    wl_event_source* m_wakeSource = nullptr;
    ClientListener m_clientGone{};
    std::list<Window> m_windows;
    std::vector<wl_resource*> m_managers;
    std::mutex m_queueLock;
    std::vector<std::function<void()>> m_queue;
    std::atomic<int> m_destroyedHandles = 0;
    std::atomic<int> m_liveHandles = 0;
    std::thread m_thread;
};

} // namespace vantrel::wayland
