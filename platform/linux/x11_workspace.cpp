#include "platform/linux/x11_workspace.h"

#include "platform/linux/process_watch.h"
#include "platform/linux/x11_connection.h"
#include "platform/linux/x11_running_application.h"

#include <algorithm>
#include <chrono>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFF;
constexpr quint32 longList = 1u << 16;
constexpr quint32 largestIcon = 1u << 20;
// openbox animates a restore for 150 ms, in steps of 1/60 s.
constexpr std::chrono::milliseconds stillCheckInterval{40};
constexpr int maximumStillChecks = 15;

QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).trimmed();
}

QIcon iconNamed(const QString& icon) {
    if (icon.isEmpty()) {
        return {};
    }
    if (QFileInfo(icon).isAbsolute()) {
        return QFileInfo::exists(icon) ? QIcon(icon) : QIcon();
    }
    return QIcon::fromTheme(icon);
}

} // namespace

X11Workspace::X11Workspace(std::shared_ptr<x11::X11Connection> connection, Providers providers,
                           QObject* parent)
    : Workspace(parent)
    , m_connection(std::move(connection))
    , m_providers(std::move(providers))
    , m_ownPid(::getpid()) {
    // Listen first, then read: a change in between only costs a second look.
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_connection->selectEvents({m_connection->root()}, XCB_EVENT_MASK_PROPERTY_CHANGE);
    mergeBundled(nullptr);
    refreshClientList();
    updateApplications(nullptr, nullptr);
    readActiveWindow();
}

X11Workspace::~X11Workspace() = default;

RunningApplicationList X11Workspace::runningApplications() const {
    mergeBundled(nullptr);
    RunningApplicationList applications;
    for (const Tracked& tracked : m_applications) {
        if (!tracked.application->isTerminated()) {
            applications.append(tracked.application);
        }
    }
    return applications;
}

bool X11Workspace::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || message == nullptr) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto& atoms = m_connection->atoms();
    switch (event->response_type & ~0x80) {
    case XCB_PROPERTY_NOTIFY: {
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        m_lastServerTime = change->time;
        if (change->window == m_connection->root()) {
            if (change->atom == atoms._NET_CLIENT_LIST) {
                m_clientListChanged = true;
                scheduleSettle();
            } else if (change->atom == atoms._NET_ACTIVE_WINDOW) {
                m_activeWindowChanged = true;
                scheduleSettle();
            }
        } else if ((change->atom == atoms._NET_WM_STATE ||
                    change->atom == atoms._NET_WM_WINDOW_TYPE) &&
                   m_clients.contains(change->window)) {
            m_changedClients.insert(change->window);
            scheduleSettle();
        }
        break;
    }
    case XCB_KEY_PRESS:
    case XCB_BUTTON_PRESS:
        m_lastServerTime = reinterpret_cast<const xcb_key_press_event_t*>(event)->time;
        break;
    default:
        break;
    }
    // Qt still handles every event.
    return false;
}

void X11Workspace::scheduleSettle() {
    if (m_settleScheduled) {
        return;
    }
    m_settleScheduled = true;
    // After Qt has handed over all events read so far: one look at the desktop for a burst.
    QMetaObject::invokeMethod(this, &X11Workspace::settle, Qt::QueuedConnection);
}

void X11Workspace::settle() {
    m_settleScheduled = false;
    RunningApplicationList launched;
    bool quit = false;
    QList<xcb_window_t> added;
    const bool clientsChanged = m_clientListChanged || !m_changedClients.isEmpty();
    if (m_clientListChanged) {
        m_clientListChanged = false;
        added = refreshClientList();
    }
    if (!m_changedClients.isEmpty()) {
        QList<xcb_window_t> changed;
        for (xcb_window_t window : std::as_const(m_changedClients)) {
            if (m_clients.contains(window)) {
                changed.append(window);
            }
        }
        m_changedClients.clear();
        QList<xcb_window_t> wereHidden;
        for (xcb_window_t window : std::as_const(changed)) {
            if (m_clients.value(window).window.hidden) {
                wereHidden.append(window);
            }
        }
        readClients(changed, false);
        for (xcb_window_t window : std::as_const(changed)) {
            if (!m_clients.contains(window) || m_clients.value(window).window.hidden) {
                m_restoredClients.remove(window);
            } else if (wereHidden.contains(window)) {
                m_restoredClients.insert(window);
            }
        }
    }
    if (clientsChanged) {
        updateApplications(&launched, &quit);
    }

    if (m_pendingActivation.window.isNull()) {
        m_pendingActivation = {};
    } else if (m_clients.contains(m_pendingActivation.id)) {
        const xcb_window_t window = m_pendingActivation.id;
        m_pendingActivation = {};
        requestActivation(window);
    }
    m_onAllDesktops.removeIf([](const WindowRequest& request) { return request.window.isNull(); });
    for (const WindowRequest& request : std::as_const(m_onAllDesktops)) {
        if (added.contains(request.id)) {
            keepOnAllDesktops(request.id, true);
        }
    }

    RunningApplicationRef activated;
    if (m_activeWindowChanged || clientsChanged) {
        m_activeWindowChanged = false;
        activated = readActiveWindow();
    }

    // Signals last, with the state complete: their handlers may call back.
    for (const RunningApplicationRef& application : std::as_const(launched)) {
        Q_EMIT runningApplicationsChanged(
            RunningApplicationsChange{RunningApplicationList{application}});
    }
    if (quit) {
        Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
    }
    if (activated) {
        if (m_restoredClients.remove(m_activeWindow)) {
            reportActivationOnceStill(activated, m_activeWindow, std::nullopt, maximumStillChecks);
        } else {
            Q_EMIT applicationActivated(activated);
        }
    }
}

void X11Workspace::reportActivationOnceStill(const RunningApplicationRef& application,
                                             xcb_window_t window, std::optional<QPoint> lastOrigin,
                                             int checksLeft) {
    // Another activation since then has been reported already.
    if (m_activeWindow != window || m_activeApplication.lock() != application) {
        return;
    }
    const std::optional<QPoint> origin = rootOrigin(window);
    if (!origin || origin == lastOrigin || checksLeft <= 0) {
        Q_EMIT applicationActivated(application);
        return;
    }
    QTimer::singleShot(stillCheckInterval, this, [this, application, window, origin, checksLeft] {
        reportActivationOnceStill(application, window, origin, checksLeft - 1);
    });
}

std::optional<QPoint> X11Workspace::rootOrigin(xcb_window_t window) const {
    xcb_connection_t* c = m_connection->xcb();
    xcb_generic_error_t* error = nullptr;
    const x11::XcbPointer<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, m_connection->root(), 0, 0), &error));
    const x11::XcbPointer<xcb_generic_error_t> dropped(error);
    if (!reply) {
        return std::nullopt;
    }
    return QPoint(reply->dst_x, reply->dst_y);
}

QList<xcb_window_t> X11Workspace::readClientList() {
    const auto& atoms = m_connection->atoms();
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW, longList));
    return x11::values32(reply.get());
}

QList<xcb_window_t> X11Workspace::refreshClientList() {
    const QList<xcb_window_t> listed = readClientList();
    QList<xcb_window_t> added;
    for (xcb_window_t window : listed) {
        if (!m_clients.contains(window)) {
            added.append(window);
        }
    }
    const QSet<xcb_window_t> present(listed.cbegin(), listed.cend());
    m_clients.removeIf([&](const auto& client) { return !present.contains(client.key()); });
    m_restoredClients.removeIf([&](xcb_window_t window) { return !present.contains(window); });

    // Select before reading, so that no later change of the state slips between the two.
    m_connection->selectEvents(added, XCB_EVENT_MASK_PROPERTY_CHANGE);
    readClients(added, true);

    m_mappingOrder.clear();
    for (xcb_window_t window : listed) {
        if (m_clients.contains(window)) {
            m_mappingOrder.append(window);
        }
    }
    added.removeIf([&](xcb_window_t window) { return !m_clients.contains(window); });
    return added;
}

void X11Workspace::readClients(const QList<xcb_window_t>& windows, bool withHints) {
    const x11::X11Connection& x = *m_connection;
    const auto& atoms = x.atoms();
    struct Requests {
        xcb_get_property_cookie_t type, transient, state, pid, machine, wmClass, kde, gtk;
    };
    QList<Requests> requests;
    requests.reserve(windows.size());
    for (xcb_window_t window : windows) {
        Requests r{};
        r.type = x.requestProperty(window, atoms._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM);
        r.transient = x.requestProperty(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
        r.state = x.requestProperty(window, atoms._NET_WM_STATE, XCB_ATOM_ATOM);
        if (withHints) {
            r.pid = x.requestProperty(window, atoms._NET_WM_PID, XCB_ATOM_CARDINAL, 1);
            r.machine = x.requestProperty(window, XCB_ATOM_WM_CLIENT_MACHINE,
                                          XCB_GET_PROPERTY_TYPE_ANY, 64);
            r.wmClass = x.requestProperty(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
            r.kde = x.requestProperty(window, x.kdeDesktopFile());
            r.gtk = x.requestProperty(window, x.gtkApplicationId());
        }
        requests.append(r);
    }
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const Requests& r = requests[i];
        const x11::PropertyReply type = x.takeProperty(r.type);
        const x11::PropertyReply transient = x.takeProperty(r.transient);
        const x11::PropertyReply state = x.takeProperty(r.state);

        Client client = m_clients.value(windows[i]);
        client.window.id = windows[i];
        if (withHints) {
            const QList<quint32> pid = x11::values32(x.takeProperty(r.pid).get());
            const QByteArray machine = x11::bytes8(x.takeProperty(r.machine).get());
            const QList<QByteArray> wmClass =
                x11::bytes8(x.takeProperty(r.wmClass).get()).split('\0');
            client.window.processIdentifier.reset();
            // _NET_WM_PID names a process of the host the client runs on.
            if (!pid.isEmpty() && x.isThisHost(machine)) {
                client.window.processIdentifier = static_cast<qint64>(pid.first());
            }
            client.hints.classInstance = wmClass.size() > 0 ? text(wmClass[0]) : QString();
            client.hints.className = wmClass.size() > 1 ? text(wmClass[1]) : QString();
            client.hints.kdeDesktopFile = text(x11::bytes8(x.takeProperty(r.kde).get()));
            client.hints.gtkApplicationId = text(x11::bytes8(x.takeProperty(r.gtk).get()));
        }
        if (!type) {
            m_clients.remove(windows[i]); // gone meanwhile
            continue;
        }
        QList<std::optional<x11::WindowKind>> types;
        for (quint32 atom : x11::values32(type.get())) {
            types.append(x.windowKindOfType(atom));
        }
        const bool isTransient = !x11::values32(transient.get()).isEmpty();
        client.window.kind = x11::windowKindFromTypes(types, isTransient);
        const QList<quint32> states = x11::values32(state.get());
        client.window.hidden = states.contains(atoms._NET_WM_STATE_HIDDEN);
        client.window.skipTaskbar = states.contains(atoms._NET_WM_STATE_SKIP_TASKBAR);
        m_clients.insert(windows[i], client);
    }
}

void X11Workspace::mergeBundled(RunningApplicationList* launched) const {
    if (!m_providers.bundledApplications) {
        return;
    }
    for (const RunningApplicationRef& application : m_providers.bundledApplications()) {
        if (!application || application->isTerminated()) {
            continue;
        }
        const qint64 pid = application->processIdentifier();
        const bool known = std::any_of(
            m_applications.cbegin(), m_applications.cend(), [&](const Tracked& tracked) {
                return tracked.pid == pid && !tracked.application->isTerminated();
            });
        if (known) {
            continue; // the object first seen stays the one for this process
        }
        m_applications.push_back(Tracked{pid, application, nullptr});
        if (launched != nullptr) {
            launched->append(application);
        }
    }
}

void X11Workspace::updateApplications(RunningApplicationList* launched, bool* quit) {
    QList<x11::ClientWindow> clients;
    clients.reserve(m_mappingOrder.size());
    for (xcb_window_t window : std::as_const(m_mappingOrder)) {
        clients.append(m_clients.value(window).window);
    }
    const QMap<qint64, x11::ProcessWindows> processes = x11::windowsByProcess(clients);

    const bool terminated = dropTerminated();
    if (quit != nullptr) {
        *quit = terminated;
    }
    mergeBundled(launched);

    std::optional<QList<DesktopEntry>> entries;
    for (auto it = processes.cbegin(); it != processes.cend(); ++it) {
        if (applicationOfPid(it.key())) {
            continue;
        }
        if (it->normalWindows.isEmpty() || !isProcessOfThisUser(it.key())) {
            continue;
        }
        if (!entries.has_value()) {
            entries =
                m_providers.desktopEntries ? m_providers.desktopEntries() : QList<DesktopEntry>();
        }
        std::shared_ptr<X11RunningApplication> application =
            makeApplication(it.key(), *it, *entries);
        m_applications.push_back(Tracked{it.key(), application, application});
        if (launched != nullptr) {
            launched->append(application);
        }
    }
    for (const Tracked& tracked : m_applications) {
        if (tracked.ownWindows) {
            tracked.ownWindows->setWindows(processes.value(tracked.pid));
        }
    }
}

std::shared_ptr<X11RunningApplication>
X11Workspace::makeApplication(qint64 pid, const x11::ProcessWindows& windows,
                              const QList<DesktopEntry>& entries) {
    const xcb_window_t first = windows.normalWindows.first();
    ApplicationHints hints = m_clients.value(first).hints;
    hints.programPath = processProgram(pid);

    X11RunningApplication::Identity identity;
    identity.pid = pid;
    if (const std::optional<DesktopEntry> entry = matchDesktopEntry(hints, entries)) {
        identity.bundleIdentifier = entry->id;
        if (!entry->name.isEmpty()) {
            identity.name = entry->name;
        }
        identity.icon = iconNamed(entry->icon);
    }
    if (!identity.name.has_value()) {
        for (const QString& name : {hints.className, hints.classInstance, processName(pid)}) {
            if (!name.isEmpty()) {
                identity.name = name;
                break;
            }
        }
    }
    if (identity.icon.isNull()) {
        identity.icon = iconOfWindow(first);
    }

    auto watch = std::make_unique<ProcessExitWatch>(pid);
    ProcessExitWatch* watching = watch.get();
    auto application = std::make_shared<X11RunningApplication>(std::move(identity), m_connection,
                                                               std::move(watch));
    const X11RunningApplication* key = application.get();
    connect(watching, &ProcessExitWatch::exited, this, [this, key] { onProcessExited(key); });
    return application;
}

QIcon X11Workspace::iconOfWindow(xcb_window_t window) const {
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        window, m_connection->atoms()._NET_WM_ICON, XCB_ATOM_CARDINAL, largestIcon));
    QIcon icon;
    for (const QImage& image : x11::imagesFromNetWmIcon(x11::values32(reply.get()))) {
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

RunningApplicationRef X11Workspace::applicationOfPid(qint64 pid) const {
    for (const Tracked& tracked : m_applications) {
        if (tracked.pid == pid && !tracked.application->isTerminated()) {
            return tracked.application;
        }
    }
    return nullptr;
}

bool X11Workspace::dropTerminated() {
    bool dropped = false;
    std::erase_if(m_applications, [&](const Tracked& tracked) {
        if (!tracked.application->isTerminated()) {
            return false;
        }
        if (tracked.ownWindows) {
            tracked.ownWindows->markTerminated();
        }
        dropped = true;
        return true;
    });
    return dropped;
}

void X11Workspace::onProcessExited(const X11RunningApplication* application) {
    const bool known =
        std::any_of(m_applications.cbegin(), m_applications.cend(),
                    [&](const Tracked& t) { return t.ownWindows.get() == application; });
    if (!known) {
        return;
    }
    dropTerminated();
    Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
}

RunningApplicationRef X11Workspace::readActiveWindow() {
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), m_connection->atoms()._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1));
    const QList<quint32> active = x11::values32(reply.get());
    m_activeWindow = active.isEmpty() ? 0 : active.first();

    // Iconifying the active window leaves none active: the next activation is news again.
    RunningApplicationRef application;
    if (const auto client = m_clients.constFind(m_activeWindow);
        client != m_clients.cend() && client->window.processIdentifier.has_value()) {
        application = applicationOfPid(*client->window.processIdentifier);
    }
    const RunningApplicationRef previous = m_activeApplication.lock();
    m_activeApplication = application;
    if (!application || application == previous) {
        return nullptr;
    }
    return application;
}

void X11Workspace::activateSelf(QWindow* keyWindow) {
    const xcb_window_t window = keyWindow != nullptr ? static_cast<xcb_window_t>(keyWindow->winId())
                                                     : frontMostWindowOfThisProcess();
    if (window == 0) {
        return;
    }
    // The window manager ignores requests for windows it has not taken on yet (a window just
    // shown); those wait for the client list to name them.
    if (readClientList().contains(window)) {
        m_pendingActivation = {};
        requestActivation(window);
    } else {
        m_pendingActivation = {keyWindow, window};
    }
}

void X11Workspace::requestActivation(xcb_window_t window) {
    // Source "pager": the user asked for it, so no focus-stealing prevention holds it back.
    xcb_ewmh_request_change_active_window(m_connection->ewmh(), m_connection->screenNumber(),
                                          window, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER,
                                          m_lastServerTime, m_activeWindow);
    m_connection->flush();
}

xcb_window_t X11Workspace::frontMostWindowOfThisProcess() const {
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), m_connection->atoms()._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW,
        longList));
    const QList<quint32> bottomToTop = x11::values32(reply.get());
    for (auto it = bottomToTop.crbegin(); it != bottomToTop.crend(); ++it) {
        const auto client = m_clients.constFind(*it);
        if (client != m_clients.cend() && client->window.processIdentifier == m_ownPid &&
            client->window.kind != x11::WindowKind::Dock) {
            return *it;
        }
    }
    return 0;
}

void X11Workspace::showOnAllDesktops(QWindow* window) {
    if (window == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window->winId());
    const bool known = std::any_of(m_onAllDesktops.cbegin(), m_onAllDesktops.cend(),
                                   [&](const WindowRequest& r) { return r.window == window; });
    if (!known) {
        m_onAllDesktops.append({window, id});
    }
    keepOnAllDesktops(id, readClientList().contains(id));
}

void X11Workspace::keepOnAllDesktops(xcb_window_t window, bool managed) {
    x11::X11Connection& x = *m_connection;
    const auto& atoms = x.atoms();
    if (managed) {
        // A managed window is the window manager's to move; it drops these again when the window
        // is withdrawn, so they are asked for each time the window is taken on.
        xcb_ewmh_request_change_wm_desktop(x.ewmh(), x.screenNumber(), window, allDesktops,
                                           XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        xcb_ewmh_request_change_wm_state(
            x.ewmh(), x.screenNumber(), window, XCB_EWMH_WM_STATE_ADD, atoms._NET_WM_STATE_STICKY,
            atoms._NET_WM_STATE_SKIP_TASKBAR, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
        xcb_ewmh_request_change_wm_state(x.ewmh(), x.screenNumber(), window, XCB_EWMH_WM_STATE_ADD,
                                         atoms._NET_WM_STATE_SKIP_PAGER, XCB_ATOM_NONE,
                                         XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    } else {
        // Read by the window manager when the window is mapped.
        x.setProperty32(window, atoms._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, {allDesktops});
        QList<quint32> states = x11::values32(
            x.takeProperty(x.requestProperty(window, atoms._NET_WM_STATE, XCB_ATOM_ATOM)).get());
        bool added = false;
        for (const xcb_atom_t state : {atoms._NET_WM_STATE_STICKY, atoms._NET_WM_STATE_SKIP_TASKBAR,
                                       atoms._NET_WM_STATE_SKIP_PAGER}) {
            if (!states.contains(state)) {
                states.append(state);
                added = true;
            }
        }
        if (added)
            x.setProperty32(window, atoms._NET_WM_STATE, XCB_ATOM_ATOM, states);
    }
    x.flush();
}

} // namespace vantrel
