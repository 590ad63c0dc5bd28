// The X11 workspace's reading of the window manager's clients and of the windows past it.
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_window_owner.h"
#include "platform/x11/x11_workspace.h"

namespace vantrel {

namespace {

// What the workspace follows of each client: its state, and who has the keyboard.
constexpr quint32 clientEvents = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_FOCUS_CHANGE;

QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).trimmed();
}

} // namespace

QList<xcb_window_t> X11Workspace::readClientList() {
    const auto& atoms = m_connection->atoms();
    const x11::PropertyReply reply = m_connection->takeProperty(m_connection->requestProperty(
        m_connection->root(), atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW, x11::longList));
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

} // namespace vantrel
