#pragma once

#include <cstdint>
#include <memory>
#include <QList>
#include <QObject>
#include <QString>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_layer_shell_v1;
struct org_kde_plasma_window_management;
class QScreen;
class QSocketNotifier;

namespace vantrel::wayland {

struct Output {
    wl_output* output = nullptr;
    uint32_t globalName = 0;
    QString name; // "HEADLESS-1", "DP-2": from wl_output version 4 on
};

// This program's own connection to the compositor, beside Qt's: Qt 6.4 gives no public access to
// its own, and the protocols used here are ones Qt does not bind. Events are read and dispatched
// on the Qt event loop, and requests sent before it waits; nothing here blocks once it runs.
class Connection final : public QObject {
    Q_OBJECT

public:
    // Connects to WAYLAND_DISPLAY and learns the globals; nothing when no compositor answers.
    // Blocks for two round trips: call before the event loop runs.
    static std::unique_ptr<Connection> open();
    ~Connection() override;

    wl_display* display() const { return m_display; }
    wl_compositor* compositor() const { return m_compositor; }
    wl_shm* shm() const { return m_shm; }
    wl_seat* seat() const { return m_seat; }
    uint32_t seatCapabilities() const { return m_seatCapabilities; }
    zwlr_layer_shell_v1* layerShell() const { return m_layerShell; }
    // A new binding of the toplevel manager, the caller's own. The compositor answers the bind
    // with every toplevel open now: add the listener before the next dispatch, or they are lost.
    zwlr_foreign_toplevel_manager_v1* bindToplevelManager();
    // The same for KWin's window management, which KWin offers only to a client its desktop
    // entry permits.
    org_kde_plasma_window_management* bindPlasmaWindowManagement();
    bool offersPlasmaWindowManagement() const {
        return m_plasmaManagementVersion >= oldestPlasmaManagement;
    }
    // From this version on, KWin names windows by uuid.
    static constexpr uint32_t oldestPlasmaManagement = 13;
    const QList<Output>& outputs() const { return m_outputs; }
    // The output Qt shows as the screen: by name, else by place in the list, else the first.
    const Output* outputOf(const QScreen* screen) const;

    // Whether the compositor offers what a lock needs here: layer-shell surfaces, and windows
    // told by one of the window-management protocols.
    bool offersLockProtocols() const;

    void flush();
    // Waits until the compositor has answered every request so far; false when the connection
    // failed. Blocks: only before the event loop runs.
    bool roundtrip();

Q_SIGNALS:
    void seatCapabilitiesChanged();

private:
    explicit Connection(wl_display* display);
    void readEvents();
    void dispatchPending();
    void checkError();
    Output* outputOf(wl_output* output);

    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, uint32_t name);

    wl_display* m_display;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    wl_seat* m_seat = nullptr;
    uint32_t m_seatCapabilities = 0;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    // Bound by who follows the toplevels.
    uint32_t m_toplevelManagerName = 0;
    uint32_t m_toplevelManagerVersion = 0;
    uint32_t m_plasmaManagementName = 0;
    uint32_t m_plasmaManagementVersion = 0;
    QList<Output> m_outputs;
    QSocketNotifier* m_notifier = nullptr;
    bool m_lost = false;

    friend struct ConnectionListeners;
};

} // namespace vantrel::wayland
