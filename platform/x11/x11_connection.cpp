#include "platform/x11/x11_connection.h"

#include "platform/x11/x11_window_owner.h"

#include <cstring>
#include <QGuiApplication>
#include <unistd.h>
#include <xcb/res.h>

namespace vantrel::x11 {

namespace {

bool queryClientIds(xcb_connection_t* connection) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_res_id);
    if (extension == nullptr || extension->present == 0) {
        return false;
    }
    xcb_generic_error_t* error = nullptr;
    XcbPointer<xcb_res_query_version_reply_t> version(
        xcb_res_query_version_reply(connection, xcb_res_query_version(connection, 1, 2), &error));
    XcbPointer<xcb_generic_error_t> dropped(error);
    return version && (version->server_major > 1 ||
                       (version->server_major == 1 && version->server_minor >= 2));
}

} // namespace

std::shared_ptr<X11Connection> X11Connection::fromQt() {
    auto* application = qGuiApp;
    if (application == nullptr) {
        return nullptr;
    }
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return nullptr;
    }
    // Qt connects to $DISPLAY; its screen part says which root is ours.
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) {
        screen = 0;
    }
    XcbPointer<char> hostName(host);
    return std::make_shared<X11Connection>(x11->connection(), screen);
}

X11Connection::X11Connection(xcb_connection_t* connection, int screenNumber)
    : m_connection(connection)
    , m_screenNumber(screenNumber) {
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(m_connection, &m_ewmh);
    if (xcb_ewmh_init_atoms_replies(&m_ewmh, cookies, nullptr) == 0) {
        // The atoms of EWMH are then XCB_ATOM_NONE and nothing matches them; keep going.
    }
    if (m_screenNumber < 0 || m_screenNumber >= m_ewmh.nb_screens) {
        m_screenNumber = 0;
    }
    if (m_ewmh.nb_screens > 0 && m_ewmh.screens != nullptr) {
        m_root = m_ewmh.screens[m_screenNumber]->root;
    }
    m_wmChangeState = intern("WM_CHANGE_STATE");
    m_kdeDesktopFile = intern("_KDE_NET_WM_DESKTOP_FILE");
    m_gtkApplicationId = intern("_GTK_APPLICATION_ID");

    m_hasClientIds = queryClientIds(m_connection);

    char name[256] = {};
    if (gethostname(name, sizeof(name) - 1) == 0) {
        m_hostName = QByteArray(name);
    }
}

X11Connection::~X11Connection() {
    xcb_ewmh_connection_wipe(&m_ewmh);
}

bool X11Connection::isThisHost(const QByteArray& clientMachine) const {
    return !m_hostName.isEmpty() && clientMachine.compare(m_hostName, Qt::CaseInsensitive) == 0;
}

xcb_atom_t X11Connection::intern(const char* name) const {
    const auto cookie =
        xcb_intern_atom(m_connection, 0, static_cast<quint16>(std::strlen(name)), name);
    xcb_generic_error_t* error = nullptr;
    XcbPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookie, &error));
    XcbPointer<xcb_generic_error_t> dropped(error);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_get_property_cookie_t X11Connection::requestProperty(xcb_window_t window, xcb_atom_t property,
                                                         xcb_atom_t type,
                                                         quint32 longLength) const {
    return xcb_get_property(m_connection, 0, window, property, type, 0, longLength);
}

PropertyReply X11Connection::takeProperty(xcb_get_property_cookie_t cookie) const {
    // A checked request with an error slot: a window that vanished meanwhile gives an error
    // here, not a warning in Qt's event queue.
    xcb_generic_error_t* error = nullptr;
    PropertyReply reply(xcb_get_property_reply(m_connection, cookie, &error));
    XcbPointer<xcb_generic_error_t> dropped(error);
    return reply;
}

void X11Connection::selectEvents(const QList<xcb_window_t>& windows, quint32 mask) const {
    QList<xcb_get_window_attributes_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows) {
        cookies.append(xcb_get_window_attributes(m_connection, window));
    }
    for (qsizetype i = 0; i < windows.size(); ++i) {
        xcb_generic_error_t* error = nullptr;
        XcbPointer<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(m_connection, cookies[i], &error));
        XcbPointer<xcb_generic_error_t> dropped(error);
        if (!attributes || (attributes->your_event_mask & mask) == mask) {
            continue;
        }
        const quint32 values[] = {attributes->your_event_mask | mask};
        const auto change = xcb_change_window_attributes_checked(m_connection, windows[i],
                                                                 XCB_CW_EVENT_MASK, values);
        // The window may be gone by now; its error is dropped instead of reaching Qt.
        xcb_discard_reply(m_connection, change.sequence);
    }
}

void X11Connection::sendToRoot(xcb_window_t window, xcb_atom_t type, quint32 data0, quint32 data1,
                               quint32 data2) const {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    message.data.data32[0] = data0;
    message.data.data32[1] = data1;
    message.data.data32[2] = data2;
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

void X11Connection::setProperty32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                  const QList<quint32>& values) const {
    const auto change =
        xcb_change_property_checked(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 32,
                                    static_cast<quint32>(values.size()), values.constData());
    xcb_discard_reply(m_connection, change.sequence);
}

std::optional<WindowKind> X11Connection::windowKindOfType(xcb_atom_t type) const {
    const xcb_ewmh_connection_t& atoms = m_ewmh;
    const std::pair<xcb_atom_t, WindowKind> known[] = {
        {atoms._NET_WM_WINDOW_TYPE_NORMAL, WindowKind::Normal},
        {atoms._NET_WM_WINDOW_TYPE_DIALOG, WindowKind::Dialog},
        {atoms._NET_WM_WINDOW_TYPE_UTILITY, WindowKind::Utility},
        {atoms._NET_WM_WINDOW_TYPE_TOOLBAR, WindowKind::Toolbar},
        {atoms._NET_WM_WINDOW_TYPE_MENU, WindowKind::Menu},
        {atoms._NET_WM_WINDOW_TYPE_SPLASH, WindowKind::Splash},
        {atoms._NET_WM_WINDOW_TYPE_DOCK, WindowKind::Dock},
        {atoms._NET_WM_WINDOW_TYPE_DESKTOP, WindowKind::Desktop},
        {atoms._NET_WM_WINDOW_TYPE_DROPDOWN_MENU, WindowKind::Other},
        {atoms._NET_WM_WINDOW_TYPE_POPUP_MENU, WindowKind::Other},
        {atoms._NET_WM_WINDOW_TYPE_TOOLTIP, WindowKind::Other},
        {atoms._NET_WM_WINDOW_TYPE_NOTIFICATION, WindowKind::Other},
        {atoms._NET_WM_WINDOW_TYPE_COMBO, WindowKind::Other},
        {atoms._NET_WM_WINDOW_TYPE_DND, WindowKind::Other},
    };
    for (const auto& [atom, kind] : known) {
        if (atom != XCB_ATOM_NONE && atom == type) {
            return kind;
        }
    }
    return std::nullopt;
}

QList<xcb_window_t> X11Connection::clientWindowsOfProcess(qint64 pid) const {
    const QList<quint32> clients = values32(
        takeProperty(requestProperty(m_root, m_ewmh._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 1u << 16))
            .get());
    WindowOwnerQuery owners(*this, QList<xcb_window_t>(clients.cbegin(), clients.cend()));
    QList<xcb_get_property_cookie_t> types;
    for (xcb_window_t window : clients) {
        types.append(requestProperty(window, m_ewmh._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM));
    }
    const QList<std::optional<qint64>> owner = owners.take();
    QList<xcb_window_t> windows;
    for (qsizetype i = 0; i < clients.size(); ++i) {
        const QList<quint32> typeAtoms = values32(takeProperty(types[i]).get());
        if (owner[i] != pid) {
            continue;
        }
        QList<std::optional<WindowKind>> kinds;
        for (quint32 type : typeAtoms) {
            kinds.append(windowKindOfType(type));
        }
        const WindowKind kind = windowKindFromTypes(kinds, false);
        if (kind != WindowKind::Dock && kind != WindowKind::Desktop) {
            windows.append(clients[i]);
        }
    }
    return windows;
}

QList<quint32> values32(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 32) {
        return {};
    }
    const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply));
    const int length = xcb_get_property_value_length(reply) / 4;
    return QList<quint32>(data, data + length);
}

QByteArray bytes8(const xcb_get_property_reply_t* reply) {
    if (reply == nullptr || reply->format != 8) {
        return {};
    }
    const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
    return QByteArray(data, xcb_get_property_value_length(reply));
}

} // namespace vantrel::x11
