#include "platform/linux/x11_workspace.h"

#include "platform/input_held.h"
#include "platform/linux/application_identity.h"
#include "platform/linux/entry_icon.h"
#include "platform/linux/process_facts.h"
#include "platform/linux/process_watch.h"
#include "platform/linux/x11_connection.h"
#include "platform/linux/x11_running_application.h"
#include "platform/linux/x11_window_owner.h"

#include <algorithm>
#include <QGuiApplication>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr quint32 longList = 1u << 16;
constexpr quint32 largestIcon = 1u << 20;
// What the workspace follows of each client: its state, and who has the keyboard.
constexpr quint32 clientEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_FOCUS_CHANGE;

QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).trimmed();
}

QIcon iconOfWindow(const x11::X11Connection& connection, xcb_window_t window) {
    const x11::PropertyReply reply = connection.takeProperty(connection.requestProperty(
        window, connection.atoms()._NET_WM_ICON, XCB_ATOM_CARDINAL, largestIcon));
    QIcon icon;
    for (const QImage& image : x11::imagesFromNetWmIcon(x11::values32(reply.get()))) {
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

X11Workspace::X11Workspace(std::shared_ptr<x11::X11Connection> connection, Providers providers,
                           QObject* parent)
    : Workspace(parent)
    , m_connection(std::move(connection))
    , m_providers(std::move(providers))
    , m_ownPid(::getpid())
    , m_grabs(m_connection)
    , m_hold(m_grabs) {
    // Listen first, then read: a change in between only costs a second look.
    QCoreApplication::instance()->installNativeEventFilter(this);
    // Substructure: every top-level window created, mapped, unmapped, moved, resized or
    // restacked.
    m_connection->selectEvents({m_connection->root()},
                               XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    mergeBundled(nullptr);
    refreshClientList();
    updateApplications(nullptr, nullptr);
    m_activeWindow = readActiveWindow();
    m_reportedWindow = m_activeWindow;
}

X11Workspace::~X11Workspace() {
    thawInput();
}

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
                freezeInput();
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
    // With the root's substructure selected, these come for top-level windows. What identifies a
    // new window's process is read as it is created, before it can be shown: never while the
    // user's input is held.
    case XCB_CREATE_NOTIFY: {
        const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
        if (created->parent == m_connection->root()) {
            noteCreated(created->window, created->override_redirect != 0);
        }
        break;
    }
    // A window mapped by the window manager may be a locked application's, and about to get the
    // focus.
    case XCB_MAP_NOTIFY: {
        const auto* mapped = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (mapped->event != m_connection->root()) {
            break;
        }
        if (mapped->override_redirect == 0) {
            freezeInput();
            // Under a window manager that does not reparent, a new client is mapped as it is;
            // under one that does, this is the frame of a client already awaited.
            if (!m_clients.contains(mapped->window) && !m_frames.contains(mapped->window) &&
                m_hold.isFrozen()) {
                m_awaitedClients.insert(mapped->window);
            }
        } else {
            noteUnmanagedShown(mapped->window);
        }
        m_windowsChanged = true;
        scheduleSettle();
        break;
    }
    case XCB_REPARENT_NOTIFY: {
        // A window taken into a frame: a new one, before it is shown. The keys wait until it is
        // known whose it is, and no longer: the frame itself never becomes a client.
        const auto* reparented = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
        if (reparented->parent != m_connection->root()) {
            m_frames.insert(reparented->parent);
            if (!m_clients.contains(reparented->window)) {
                freezeInput();
                if (m_hold.isFrozen()) {
                    m_awaitedClients.insert(reparented->window);
                }
            }
        }
        m_windowsChanged = true;
        scheduleSettle();
        break;
    }
    case XCB_UNMAP_NOTIFY:
    case XCB_DESTROY_NOTIFY: {
        // Both events start with the same fields.
        const auto* gone = reinterpret_cast<const xcb_unmap_notify_event_t*>(event);
        if (gone->event == m_connection->root()) {
            if ((event->response_type & ~0x80) == XCB_DESTROY_NOTIFY) {
                m_frames.remove(gone->window);
                m_awaitedClients.remove(gone->window);
            }
            if (m_unmanaged.remove(gone->window) > 0 || m_unmanagedShown.removeAll(gone->window)) {
                m_unmanagedOrder.removeAll(gone->window);
                m_unmanagedChanged = true;
            }
        }
        m_windowsChanged = true;
        scheduleSettle();
        break;
    }
    case XCB_CONFIGURE_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
    case XCB_GRAVITY_NOTIFY:
        m_windowsChanged = true;
        scheduleSettle();
        break;
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT:
        noteFocusEvent(event);
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

void X11Workspace::noteFocusEvent(const void* message) {
    const auto* event = static_cast<const xcb_focus_in_event_t*>(message);
    // Grabs (a window manager's key binding, a menu) lend the keyboard and give it back.
    if (event->mode == XCB_NOTIFY_MODE_GRAB || event->mode == XCB_NOTIFY_MODE_UNGRAB ||
        event->detail == XCB_NOTIFY_DETAIL_POINTER || !m_clients.contains(event->event)) {
        return;
    }
    // Where the focus went is read once the burst is over: a focus-out does not say.
    m_focusChanged = true;
    if ((event->response_type & ~0x80) == XCB_FOCUS_IN) {
        m_focusEntered = true;
        freezeInput();
    }
    scheduleSettle();
}

void X11Workspace::settle() {
    m_settleScheduled = false;
    RunningApplicationList launched;
    bool quit = false;
    const bool clientsChanged = m_clientListChanged || !m_changedClients.isEmpty() ||
                                m_unmanagedChanged || !m_unmanagedShown.isEmpty();
    m_unmanagedChanged = false;
    if (m_clientListChanged) {
        m_clientListChanged = false;
        refreshClientList();
    }
    if (!m_unmanagedShown.isEmpty()) {
        const QList<xcb_window_t> shown = std::exchange(m_unmanagedShown, {});
        readClients(shown, true, &m_unmanaged);
        for (xcb_window_t window : shown) {
            const auto client = m_unmanaged.find(window);
            if (client != m_unmanaged.end() && !m_unmanagedOrder.contains(window)) {
                client->window.unmanaged = true;
                client->window.hidden = false;
                m_unmanagedOrder.append(window);
            }
        }
    }
    if (!m_changedClients.isEmpty()) {
        QList<xcb_window_t> changed;
        for (xcb_window_t window : std::as_const(m_changedClients)) {
            if (m_clients.contains(window)) {
                changed.append(window);
            }
        }
        m_changedClients.clear();
        readClients(changed, false, &m_clients);
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

    // The focus first: the window manager names the window it activates before the focus gets
    // there, and a focus event of the same burst is older news.
    RunningApplicationRef activated;
    if (m_focusChanged) {
        m_focusChanged = false;
        // Away from every client (to this program's lock, say), a return is news; so is a
        // window that took the focus again, as one that fights a lock for it does.
        const xcb_window_t focused = readFocusedClient();
        if (focused == 0) {
            m_reportedWindow = 0;
        } else {
            if (m_focusEntered) {
                m_reportedWindow = 0;
            }
            if (RunningApplicationRef application = takeActivation(focused)) {
                activated = std::move(application);
            }
        }
        m_focusEntered = false;
    }
    if (m_activeWindowChanged || clientsChanged) {
        m_activeWindowChanged = false;
        m_activeWindow = readActiveWindow();
        if (RunningApplicationRef active = takeActivation(m_activeWindow)) {
            activated = std::move(active);
        }
    }
    const bool windowsChanged = m_windowsChanged;
    m_windowsChanged = false;

    // Signals last, with the state complete: their handlers may call back.
    for (const RunningApplicationRef& application : std::as_const(launched)) {
        Q_EMIT runningApplicationsChanged(
            RunningApplicationsChange{RunningApplicationList{application}});
    }
    if (quit) {
        Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
    }
    if (activated) {
        Q_EMIT applicationActivated(activated);
    }
    if (windowsChanged) {
        Q_EMIT this->windowsChanged();
    }
    // A window the window manager is still taking on keeps the keys waiting, until the deadline.
    m_awaitedClients.removeIf([this](xcb_window_t window) { return m_clients.contains(window); });
    if (m_awaitedClients.isEmpty()) {
        thawInput();
    }
    if (m_bundledMergeDue && !m_hold.isFrozen()) {
        m_bundledMergeDue = false;
        // Bundled programs are read from files, which waited for the input to go.
        QMetaObject::invokeMethod(
            this,
            [this] {
                RunningApplicationList bundled;
                mergeBundled(&bundled);
                for (const RunningApplicationRef& application : std::as_const(bundled)) {
                    Q_EMIT runningApplicationsChanged(
                        RunningApplicationsChange{RunningApplicationList{application}});
                }
            },
            Qt::QueuedConnection);
    }
}

void X11Workspace::noteCreated(xcb_window_t window, bool unmanaged) {
    QHash<xcb_window_t, Client> created;
    readClients({window}, true, &created);
    const Client client = created.value(window);
    const std::optional<qint64> pid = client.window.processIdentifier;
    if (!pid || *pid == m_ownPid) {
        return;
    }
    m_processes.learn(*pid);
    // A window shows the moment the window manager maps it, before this program hears of it: a
    // click then would reach it. So input waits from its creation, when it may be locked.
    if (!unmanaged && mayShowLocked(*pid, client.hints)) {
        freezeInput();
        if (m_hold.isFrozen()) {
            m_awaitedClients.insert(window);
        }
    }
}

bool X11Workspace::mayShowLocked(qint64 pid, const ApplicationHints& hints) {
    if (!m_providers.isLocked || !m_processes.of(pid).ofThisUser) {
        return false;
    }
    for (const Tracked& tracked : m_applications) {
        const std::optional<QString> id = tracked.application->bundleIdentifier();
        if (tracked.key.processIdentifier == pid && id && m_providers.isLocked(*id)) {
            return true;
        }
    }
    const QList<DesktopEntry> entries =
        m_providers.desktopEntries ? m_providers.desktopEntries() : QList<DesktopEntry>();
    const std::optional<DesktopEntry> entry =
        identifyApplication(m_processes.of(pid).facts, hints, entries);
    return entry && m_providers.isLocked(entry->id);
}

void X11Workspace::noteUnmanagedShown(xcb_window_t window) {
    const std::optional<qint64> pid = x11::ownerOfWindow(*m_connection, window);
    if (!pid || *pid == m_ownPid || m_unmanagedShown.contains(window)) {
        return;
    }
    m_unmanagedShown.append(window);
    // Menus and tooltips of a known application are nothing new; a program not known yet may be
    // showing a locked application's only window.
    const bool known =
        std::any_of(m_applications.cbegin(), m_applications.cend(),
                    [&](const Tracked& tracked) { return tracked.key.processIdentifier == *pid; });
    if (!known) {
        freezeInput();
    }
}

void X11Workspace::fillOnMap(QWindow* window, const QColor& color) {
    if (window == nullptr) {
        return;
    }
    // The server paints it the moment the window is mapped; without it the window shows what was
    // on the screen beneath until the program has painted.
    const quint32 pixel = color.rgb() & 0xFFFFFFu; // a 24-bit TrueColor visual
    xcb_change_window_attributes(m_connection->xcb(), static_cast<xcb_window_t>(window->winId()),
                                 XCB_CW_BACK_PIXEL, &pixel);
    m_connection->flush();
}

std::optional<QString> X11Workspace::applicationIdOfWindow(xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    if (client != m_clients.cend()) {
        return client->window.applicationId;
    }
    const auto unmanaged = m_unmanaged.constFind(window);
    return unmanaged != m_unmanaged.cend() ? unmanaged->window.applicationId : std::nullopt;
}

bool X11Workspace::grabKeyboard(QWindow* window) {
    if (window == nullptr) {
        return false;
    }
    const auto target = static_cast<xcb_window_t>(window->winId());
    m_hold.setKeyboardTarget(target);
    // A frozen keyboard goes to the target when it thaws.
    return m_hold.isFrozen() || m_grabs.grabKeyboardOn(target);
}

void X11Workspace::releaseKeyboard() {
    m_hold.setKeyboardTarget(0);
    if (!m_hold.isFrozen()) {
        m_grabs.ungrabKeyboard();
    }
}

void X11Workspace::freezeInput() {
    if (m_hold.isFrozen()) {
        return;
    }
    // An open menu of ours holds the keyboard itself; taking it would close nothing and lose it.
    if (const QWindow* focus = QGuiApplication::focusWindow();
        focus != nullptr && focus->type() == Qt::Popup) {
        return;
    }
    // Windows awaited by a hold that ran out are no reason for this one to last.
    m_awaitedClients.clear();
    m_hold.freeze();
    setInputHeld(m_hold.isFrozen());
}

void X11Workspace::thawInput() {
    m_awaitedClients.clear();
    m_hold.thaw();
    setInputHeld(false);
}

xcb_window_t X11Workspace::readFocusedClient() const {
    xcb_connection_t* c = m_connection->xcb();
    xcb_generic_error_t* error = nullptr;
    const x11::XcbPointer<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), &error));
    const x11::XcbPointer<xcb_generic_error_t> dropped(error);
    return reply && m_clients.contains(reply->focus) ? reply->focus : 0;
}

RunningApplicationRef X11Workspace::takeActivation(xcb_window_t window) {
    if (window == m_reportedWindow) {
        return nullptr;
    }
    m_reportedWindow = window;
    return applicationOfWindow(window);
}

RunningApplicationRef X11Workspace::applicationOfWindow(xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    if (client == m_clients.cend() || !client->window.processIdentifier.has_value()) {
        return nullptr;
    }
    const qint64 pid = *client->window.processIdentifier;
    if (RunningApplicationRef application = applicationOf({pid, client->window.applicationId})) {
        return application;
    }
    return bundledApplicationOfPid(pid);
}

QList<xcb_window_t> X11Workspace::readClientList() {
    const auto& atoms = m_connection->atoms();
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW, longList));
    return x11::values32(reply.get());
}

void X11Workspace::refreshClientList() {
    const QList<xcb_window_t> listed = readClientList();
    QList<xcb_window_t> added;
    for (xcb_window_t window : listed) {
        if (!m_clients.contains(window)) {
            added.append(window);
        }
    }
    const QSet<xcb_window_t> present(listed.cbegin(), listed.cend());
    m_clients.removeIf([&](const auto& client) { return !present.contains(client.key()); });

    // Select before reading, so that no later change of the state slips between the two. A new
    // window may have had the focus before its focus events were ours: look where it is.
    m_connection->selectEvents(added, clientEvents);
    if (!added.isEmpty()) {
        m_focusChanged = true;
    }
    readClients(added, true, &m_clients);

    m_mappingOrder.clear();
    for (xcb_window_t window : listed) {
        if (m_clients.contains(window)) {
            m_mappingOrder.append(window);
        }
    }
}

void X11Workspace::readClients(const QList<xcb_window_t>& windows, bool withHints,
                               QHash<xcb_window_t, Client>* clients) {
    const x11::X11Connection& x = *m_connection;
    const auto& atoms = x.atoms();
    struct Requests {
        xcb_get_property_cookie_t type, transient, state, wmClass, kde, gtk;
    };
    std::optional<x11::WindowOwnerQuery> ownerQuery;
    if (withHints) {
        ownerQuery.emplace(x, windows);
    }
    QList<Requests> requests;
    requests.reserve(windows.size());
    for (xcb_window_t window : windows) {
        Requests r{};
        r.type = x.requestProperty(window, atoms._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM);
        r.transient = x.requestProperty(window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
        r.state = x.requestProperty(window, atoms._NET_WM_STATE, XCB_ATOM_ATOM);
        if (withHints) {
            r.wmClass = x.requestProperty(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
            r.kde = x.requestProperty(window, x.kdeDesktopFile());
            r.gtk = x.requestProperty(window, x.gtkApplicationId());
        }
        requests.append(r);
    }
    const QList<std::optional<qint64>> owners =
        ownerQuery ? ownerQuery->take() : QList<std::optional<qint64>>();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        const Requests& r = requests[i];
        const x11::PropertyReply type = x.takeProperty(r.type);
        const x11::PropertyReply transient = x.takeProperty(r.transient);
        const x11::PropertyReply state = x.takeProperty(r.state);

        Client client = clients->value(windows[i]);
        client.window.id = windows[i];
        if (withHints) {
            const QList<QByteArray> wmClass =
                x11::bytes8(x.takeProperty(r.wmClass).get()).split('\0');
            client.window.processIdentifier = owners.value(i);
            client.hints.classInstance = wmClass.size() > 0 ? text(wmClass[0]) : QString();
            client.hints.className = wmClass.size() > 1 ? text(wmClass[1]) : QString();
            client.hints.kdeDesktopFile = text(x11::bytes8(x.takeProperty(r.kde).get()));
            client.hints.gtkApplicationId = text(x11::bytes8(x.takeProperty(r.gtk).get()));
        }
        if (!type) {
            clients->remove(windows[i]); // gone meanwhile
            continue;
        }
        QList<std::optional<x11::WindowKind>> types;
        for (quint32 atom : x11::values32(type.get())) {
            types.append(x.windowKindOfType(atom));
        }
        const QList<quint32> transientFor = x11::values32(transient.get());
        client.transientFor = transientFor.isEmpty() ? 0 : transientFor.first();
        client.window.kind = x11::windowKindFromTypes(types, !transientFor.isEmpty());
        const QList<quint32> states = x11::values32(state.get());
        client.window.hidden = states.contains(atoms._NET_WM_STATE_HIDDEN);
        client.window.skipTaskbar = states.contains(atoms._NET_WM_STATE_SKIP_TASKBAR);
        clients->insert(windows[i], client);
    }
}

void X11Workspace::mergeBundled(RunningApplicationList* launched) const {
    if (!m_providers.bundledApplications) {
        return;
    }
    // Their bundles are files; the settling after the thaw merges them.
    if (isInputHeld()) {
        m_bundledMergeDue = true;
        return;
    }
    for (const RunningApplicationRef& application : m_providers.bundledApplications()) {
        if (!application || application->isTerminated()) {
            continue;
        }
        const qint64 pid = application->processIdentifier();
        if (bundledApplicationOfPid(pid)) {
            continue; // the object first seen stays the one for this process
        }
        m_applications.push_back(Tracked{{pid, std::nullopt}, application, nullptr});
        if (launched != nullptr) {
            launched->append(application);
        }
    }
}

void X11Workspace::identify(Client* client,
                            const std::function<const QList<DesktopEntry>&()>& entries) {
    if (client->identified || !client->window.processIdentifier.has_value()) {
        return;
    }
    client->identified = true;
    // A dialog belongs to the window it is for, which may be of another application of the same
    // process than its own hints would say.
    if (client->transientFor != 0) {
        const auto parent = m_clients.find(client->transientFor);
        if (parent != m_clients.end() &&
            parent->window.processIdentifier == client->window.processIdentifier) {
            identify(&*parent, entries);
            client->entry = parent->entry;
            client->window.applicationId = parent->window.applicationId;
            return;
        }
    }
    const qint64 pid = *client->window.processIdentifier;
    client->entry = identifyApplication(m_processes.of(pid).facts, client->hints, entries());
    if (client->entry) {
        client->window.applicationId = client->entry->id;
    }
}

void X11Workspace::updateApplications(RunningApplicationList* launched, bool* quit) {
    std::optional<QList<DesktopEntry>> entries;
    const auto entriesNow = [&]() -> const QList<DesktopEntry>& {
        if (!entries.has_value()) {
            entries =
                m_providers.desktopEntries ? m_providers.desktopEntries() : QList<DesktopEntry>();
        }
        return *entries;
    };
    QList<x11::ClientWindow> windows;
    windows.reserve(m_mappingOrder.size() + m_unmanagedOrder.size());
    for (xcb_window_t window : std::as_const(m_mappingOrder)) {
        Client& client = m_clients[window];
        identify(&client, entriesNow);
        windows.append(client.window);
    }
    for (xcb_window_t window : std::as_const(m_unmanagedOrder)) {
        Client& client = m_unmanaged[window];
        identify(&client, entriesNow);
        windows.append(client.window);
    }
    const QMap<x11::ApplicationKey, x11::ApplicationWindows> applications =
        x11::windowsByApplication(windows);

    const bool terminated = dropTerminated();
    if (quit != nullptr) {
        *quit = terminated;
    }
    mergeBundled(launched);

    for (auto it = applications.cbegin(); it != applications.cend(); ++it) {
        const qint64 pid = it.key().processIdentifier;
        // This program, and the bundled programs, stand for their whole process.
        if (pid == m_ownPid || applicationOf(it.key()) || bundledApplicationOfPid(pid) ||
            !m_processes.of(pid).ofThisUser) {
            continue;
        }
        std::shared_ptr<X11RunningApplication> application = makeApplication(it.key(), *it);
        m_applications.push_back(Tracked{it.key(), application, application});
        if (launched != nullptr) {
            launched->append(application);
        }
    }
    for (const Tracked& tracked : m_applications) {
        if (tracked.ownWindows) {
            tracked.ownWindows->setWindows(applications.value(tracked.key));
        }
    }
}

std::shared_ptr<X11RunningApplication>
X11Workspace::makeApplication(const x11::ApplicationKey& key,
                              const x11::ApplicationWindows& windows) {
    const QList<xcb_window_t>& shown = !windows.normalWindows.isEmpty() ? windows.normalWindows
                                       : !windows.windows.isEmpty()     ? windows.windows
                                                                        : windows.unmanaged;
    const xcb_window_t first = shown.first();
    const Client client =
        m_clients.contains(first) ? m_clients.value(first) : m_unmanaged.value(first);
    const ApplicationHints& hints = client.hints;

    X11RunningApplication::Identity identity;
    identity.pid = key.processIdentifier;
    QString iconName;
    if (client.entry) {
        identity.bundleIdentifier = client.entry->id;
        if (!client.entry->name.isEmpty()) {
            identity.name = client.entry->name;
        }
        iconName = client.entry->icon;
    }
    if (!identity.name.has_value()) {
        for (const QString& name :
             {hints.className, hints.classInstance, m_processes.of(key.processIdentifier).name}) {
            if (!name.isEmpty()) {
                identity.name = name;
                break;
            }
        }
    }
    // Looked up when first shown, not while a lock waits for the application's identity.
    identity.iconLoader = [iconName, first, connection = std::weak_ptr(m_connection)] {
        QIcon icon = iconFromValue(iconName);
        const std::shared_ptr<x11::X11Connection> x = connection.lock();
        return icon.isNull() && x ? iconOfWindow(*x, first) : icon;
    };
    // Hiding it leaves the windows of the process's other applications alone.
    identity.ownsWindow = [this, key, alive = std::weak_ptr<int>(m_alive)](xcb_window_t window) {
        return alive.expired() || ownsWindow(key, window);
    };

    auto watch = std::make_unique<ProcessExitWatch>(key.processIdentifier);
    ProcessExitWatch* watching = watch.get();
    auto application = std::make_shared<X11RunningApplication>(std::move(identity), m_connection,
                                                               std::move(watch));
    const X11RunningApplication* application_ = application.get();
    connect(watching, &ProcessExitWatch::exited, this,
            [this, application_] { onProcessExited(application_); });
    return application;
}

bool X11Workspace::ownsWindow(const x11::ApplicationKey& key, xcb_window_t window) const {
    const auto client = m_clients.constFind(window);
    // A window not taken on yet may be this application's: hidden too, to be safe.
    return client == m_clients.cend() || !client->identified ||
           x11::ApplicationKey{key.processIdentifier, client->window.applicationId} == key;
}

RunningApplicationRef X11Workspace::applicationOf(const x11::ApplicationKey& key) const {
    for (const Tracked& tracked : m_applications) {
        if (tracked.ownWindows && tracked.key == key && !tracked.application->isTerminated()) {
            return tracked.application;
        }
    }
    return nullptr;
}

RunningApplicationRef X11Workspace::bundledApplicationOfPid(qint64 pid) const {
    for (const Tracked& tracked : m_applications) {
        if (!tracked.ownWindows && tracked.key.processIdentifier == pid &&
            !tracked.application->isTerminated()) {
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
    const auto tracked =
        std::find_if(m_applications.cbegin(), m_applications.cend(),
                     [&](const Tracked& t) { return t.ownWindows.get() == application; });
    if (tracked == m_applications.cend()) {
        return;
    }
    m_processes.forget(tracked->key.processIdentifier);
    dropTerminated();
    Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
}

xcb_window_t X11Workspace::readActiveWindow() const {
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), m_connection->atoms()._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1));
    const QList<quint32> active = x11::values32(reply.get());
    return active.isEmpty() ? 0 : active.first();
}

void X11Workspace::activateSelf(QWindow* keyWindow) {
    const xcb_window_t window = keyWindow != nullptr ? static_cast<xcb_window_t>(keyWindow->winId())
                                                     : frontMostWindowOfThisProcess();
    if (window == 0) {
        return;
    }
    if (keyWindow != nullptr && keyWindow->flags().testFlag(Qt::BypassWindowManagerHint)) {
        // No window manager hands an unmanaged window the focus. The current time: a stale one
        // would lose to the window manager's last change of focus.
        xcb_set_input_focus(m_connection->xcb(), XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
        m_connection->flush();
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

} // namespace vantrel
