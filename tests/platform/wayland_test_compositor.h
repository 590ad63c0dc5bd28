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
// workspace asks for (compositor, shm, layer shell, and one window-management protocol) and tells
// every binding of it of its windows, those open at the bind first: the foreign-toplevel manager
// as wlroots does, or KWin's window management in the order KWin 5.27 sends it.
// One client, on a socket pair: hand takeClientSocket() to the client as WAYLAND_SOCKET.
class WaylandTestCompositor {
public:
    enum class WindowManagement { ForeignToplevel, Plasma };

    explicit WaylandTestCompositor(WindowManagement management = WindowManagement::ForeignToplevel);
    ~WaylandTestCompositor();
    WaylandTestCompositor(const WaylandTestCompositor&) = delete;
    WaylandTestCompositor& operator=(const WaylandTestCompositor&) = delete;

    int takeClientSocket();

    // A window of the app_id opens, or the first one of it closes. Returns once the compositor
    // has told its client.
    void openWindow(const std::string& appId, uint32_t pid = 0);
    void closeWindow(const std::string& appId);
    // KWin's "active" state for the first window of the app_id, as when the user clicks it.
    void activateWindow(const std::string& appId);
    // KWin's window management: the first window of the app_id moves or resizes, or comes to
    // the top of the stacking order (told to every binding, bottom to top, as KWin does).
    void placeWindow(const std::string& appId, int x, int y, int width, int height);
    void raiseWindow(const std::string& appId);

    // The windows of the app_id that are minimised now (KWin's window management: by the
    // client's set_state requests).
    int minimizedWindows(const std::string& appId);

    // The toplevel handles the client asked to destroy, and those it still holds.
    int destroyedHandles() const { return m_destroyedHandles; }
    int liveHandles() const { return m_liveHandles; }

private:
    struct Window {
        std::string appId;
        uint32_t pid = 0;
        std::string uuid;
        uint32_t state = 0; // KWin's state flags
        int x = 40, y = 30, width = 400, height = 300;
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
    static void bindPlasmaManagement(wl_client* client, void* data, uint32_t version, uint32_t id);
    static void getPlasmaWindow(wl_client* client, wl_resource* management, uint32_t id,
                                const char* uuid);
    static void setPlasmaState(wl_client* client, wl_resource* window, uint32_t flags,
                               uint32_t state);
    void sendPlasmaState(Window& window);
    void sendStackingOrder();
    Window* windowOfHandle(wl_resource* handle);
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
    WindowManagement m_management;
    std::list<Window> m_windows;
    int m_nextUuid = 1;
    std::vector<wl_resource*> m_managers;
    std::mutex m_queueLock;
    std::vector<std::function<void()>> m_queue;
    std::atomic<int> m_destroyedHandles = 0;
    std::atomic<int> m_liveHandles = 0;
    std::thread m_thread;
};

} // namespace vantrel::wayland
