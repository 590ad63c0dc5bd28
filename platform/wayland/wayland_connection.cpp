#include "platform/wayland/wayland_connection.h"

#include "plasma-window-management-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>
#include <QSocketNotifier>
#include <wayland-client.h>

Q_LOGGING_CATEGORY(lcWayland, "vantrel.wayland")

namespace vantrel::wayland {

struct ConnectionListeners {
    // Where outputs lie and how large they are, Qt's screens say; wlroots puts every output at
    // 0,0 here anyway.
    static void geometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                         const char*, const char*, int32_t) {}
    static void mode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
    static void done(void*, wl_output*) {}
    static void scale(void*, wl_output*, int32_t) {}
    static void name(void* data, wl_output* output, const char* name) {
        if (Output* known = static_cast<Connection*>(data)->outputOf(output))
            known->name = QString::fromUtf8(name);
    }
    static void description(void*, wl_output*, const char*) {}

    static void capabilities(void* data, wl_seat*, uint32_t capabilities) {
        auto* connection = static_cast<Connection*>(data);
        connection->m_seatCapabilities = capabilities;
        Q_EMIT connection->seatCapabilitiesChanged();
    }
    static void seatName(void*, wl_seat*, const char*) {}
};

namespace {

// Every event of KWin's window management up to version 16, KWin 5.27's, is heard.
constexpr uint32_t newestPlasmaManagement = 16;

const wl_output_listener outputListener = {
    &ConnectionListeners::geometry, &ConnectionListeners::mode, &ConnectionListeners::done,
    &ConnectionListeners::scale,    &ConnectionListeners::name, &ConnectionListeners::description};
const wl_seat_listener seatListener = {&ConnectionListeners::capabilities,
                                       &ConnectionListeners::seatName};

template <typename Proxy>
Proxy* bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
            uint32_t wanted) {
    return static_cast<Proxy*>(
        wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

} // namespace

std::unique_ptr<Connection> Connection::open() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return nullptr;
    std::unique_ptr<Connection> connection(new Connection(display));
    // The globals, then what the bound outputs and seat say of themselves.
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0)
        return nullptr;
    return connection;
}

Connection::Connection(wl_display* display)
    : m_display(display) {
    static const wl_registry_listener registryListener = {&Connection::onGlobal,
                                                          &Connection::onGlobalRemove};
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, this);
    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &Connection::readEvents);
    // Events read along with Qt's other work, and requests made from its slots, are handled
    // before the loop sleeps.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &Connection::dispatchPending);
}

Connection::~Connection() {
    delete m_notifier;
    for (const Output& output : std::as_const(m_outputs))
        wl_output_destroy(output.output);
    if (m_layerShell != nullptr)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_seat != nullptr)
        wl_seat_destroy(m_seat);
    if (m_shm != nullptr)
        wl_shm_destroy(m_shm);
    if (m_compositor != nullptr)
        wl_compositor_destroy(m_compositor);
    wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void Connection::onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                          uint32_t version) {
    auto* self = static_cast<Connection*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 &&
        self->m_compositor == nullptr) {
        self->m_compositor =
            bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0 && self->m_shm == nullptr) {
        self->m_shm = bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->m_seat == nullptr) {
        // The first seat: a desktop with several seats is out of reach here.
        self->m_seat = bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
        wl_seat_add_listener(self->m_seat, &seatListener, self);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        Output output;
        output.globalName = name;
        output.output = bind<wl_output>(registry, name, &wl_output_interface, version, 4);
        self->m_outputs.append(output);
        wl_output_add_listener(output.output, &outputListener, self);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        self->m_layerShell =
            bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, 4);
    } else if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0) {
        self->m_toplevelManagerName = name;
        self->m_toplevelManagerVersion = version;
    } else if (std::strcmp(interface, org_kde_plasma_window_management_interface.name) == 0) {
        self->m_plasmaManagementName = name;
        self->m_plasmaManagementVersion = version;
    }
}

void Connection::onGlobalRemove(void* data, wl_registry*, uint32_t name) {
    auto* self = static_cast<Connection*>(data);
    const auto gone =
        std::find_if(self->m_outputs.begin(), self->m_outputs.end(),
                     [name](const Output& output) { return output.globalName == name; });
    if (gone == self->m_outputs.end())
        return;
    wl_output_destroy(gone->output);
    self->m_outputs.erase(gone);
}

Output* Connection::outputOf(wl_output* output) {
    for (Output& known : m_outputs) {
        if (known.output == output)
            return &known;
    }
    return nullptr;
}

const Output* Connection::outputOf(const QScreen* screen) const {
    if (m_outputs.isEmpty())
        return nullptr;
    if (screen == nullptr)
        return &m_outputs.first();
    // wlroots puts every output at 0,0 in wl_output's geometry: names tell them apart.
    for (const Output& output : m_outputs) {
        if (!output.name.isEmpty() && output.name == screen->name())
            return &output;
    }
    const qsizetype index = QGuiApplication::screens().indexOf(screen);
    return index >= 0 && index < m_outputs.size() ? &m_outputs[index] : &m_outputs.first();
}

zwlr_foreign_toplevel_manager_v1* Connection::bindToplevelManager() {
    if (m_toplevelManagerName == 0)
        return nullptr;
    return bind<zwlr_foreign_toplevel_manager_v1>(m_registry, m_toplevelManagerName,
                                                  &zwlr_foreign_toplevel_manager_v1_interface,
                                                  m_toplevelManagerVersion, 3);
}

org_kde_plasma_window_management* Connection::bindPlasmaWindowManagement() {
    if (!offersPlasmaWindowManagement())
        return nullptr;
    return bind<org_kde_plasma_window_management>(
        m_registry, m_plasmaManagementName, &org_kde_plasma_window_management_interface,
        m_plasmaManagementVersion, newestPlasmaManagement);
}

bool Connection::offersLockProtocols() const {
    return m_compositor != nullptr && m_shm != nullptr && m_layerShell != nullptr &&
           (m_toplevelManagerName != 0 || offersPlasmaWindowManagement());
}

bool Connection::roundtrip() {
    if (m_lost || wl_display_roundtrip(m_display) < 0) {
        checkError();
        return false;
    }
    return true;
}

void Connection::flush() {
    if (!m_lost && wl_display_flush(m_display) < 0 && errno != EAGAIN)
        checkError();
}

void Connection::readEvents() {
    if (m_lost)
        return;
    while (wl_display_prepare_read(m_display) != 0)
        wl_display_dispatch_pending(m_display);
    // The socket is readable: this does not wait.
    if (wl_display_read_events(m_display) < 0) {
        checkError();
        return;
    }
    dispatchPending();
}

void Connection::dispatchPending() {
    if (m_lost)
        return;
    if (wl_display_dispatch_pending(m_display) < 0) {
        checkError();
        return;
    }
    flush();
}

void Connection::checkError() {
    const int error = wl_display_get_error(m_display);
    if (error == 0 || m_lost)
        return;
    m_lost = true;
    m_notifier->setEnabled(false);
    qCWarning(lcWayland,
              "The connection to the Wayland compositor ended (error %d): Vantrel "
              "can no longer see or lock applications.",
              error);
}

} // namespace vantrel::wayland
