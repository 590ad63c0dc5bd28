#include "platform/x11/x11_window_list.h"

#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_model.h"
#include "platform/x11/x11_tray_icons.h"
#include "platform/x11/x11_window_owner.h"

#include <QGuiApplication>
#include <QHash>
#include <QScreen>
#include <QSet>

namespace vantrel {

namespace {

constexpr quint32 longList = 1u << 16;
// Window managers put a client inside a frame or two; deeper nesting is no frame of ours to know.
constexpr int deepestFrame = 4;

QList<x11::ScreenScale> screenScales() {
    QList<x11::ScreenScale> scales;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        scales.append({primary->geometry(), primary->devicePixelRatio()});
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary) {
            scales.append({screen->geometry(), screen->devicePixelRatio()});
        }
    }
    return scales;
}

QList<xcb_window_t> childrenBottomToTop(const xcb_query_tree_reply_t* tree) {
    QList<xcb_window_t> children;
    if (tree != nullptr) {
        const xcb_window_t* ids = xcb_query_tree_children(tree);
        const int count = xcb_query_tree_children_length(tree);
        for (int i = 0; i < count; ++i) {
            children.append(ids[i]);
        }
    }
    return children;
}

// The top-level window (a child of the root) that holds each client: its frame, or the client
// itself under a window manager that does not reparent.
QHash<xcb_window_t, xcb_window_t> topLevelOfClients(xcb_connection_t* c, xcb_window_t root,
                                                    const QList<xcb_window_t>& clients) {
    QHash<xcb_window_t, xcb_window_t> topLevel;
    QHash<xcb_window_t, xcb_window_t> climbing; // client -> window whose parent is asked next
    for (const xcb_window_t client : clients) {
        climbing.insert(client, client);
    }
    for (int depth = 0; depth < deepestFrame && !climbing.isEmpty(); ++depth) {
        QList<std::pair<xcb_window_t, xcb_query_tree_cookie_t>> asked;
        for (auto it = climbing.cbegin(); it != climbing.cend(); ++it) {
            asked.append({it.key(), xcb_query_tree(c, it.value())});
        }
        QHash<xcb_window_t, xcb_window_t> next;
        for (const auto& [client, cookie] : asked) {
            const auto tree =
                x11::takeReply<xcb_query_tree_reply_t>(c, cookie, &xcb_query_tree_reply);
            if (!tree) {
                continue; // gone meanwhile
            }
            if (tree->parent == root) {
                topLevel.insert(client, climbing.value(client));
            } else if (tree->parent != XCB_WINDOW_NONE) {
                next.insert(client, tree->parent);
            }
        }
        climbing = next;
    }
    return topLevel;
}

struct TopLevelRequests {
    xcb_window_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
};

} // namespace

X11WindowList::X11WindowList(std::shared_ptr<x11::X11Connection> connection,
                             ApplicationOfWindow applicationOfWindow)
    : m_connection(std::move(connection))
    , m_applicationOfWindow(std::move(applicationOfWindow))
    , m_trayIcons(std::make_unique<x11::TrayIcons>(*m_connection)) {}

X11WindowList::~X11WindowList() = default;

std::optional<QList<WindowDescription>> X11WindowList::onScreenWindows() const {
    x11::X11Connection& x = *m_connection;
    xcb_connection_t* c = x.xcb();
    const auto& atoms = x.atoms();

    const auto treeCookie = xcb_query_tree(c, x.root());
    const auto clientsCookie =
        x.requestProperty(x.root(), atoms._NET_CLIENT_LIST, XCB_ATOM_WINDOW, longList);
    const auto tree = x11::takeReply<xcb_query_tree_reply_t>(c, treeCookie, &xcb_query_tree_reply);
    const QList<quint32> clients = x11::values32(x.takeProperty(clientsCookie).get());
    if (!tree) {
        return std::nullopt;
    }
    const QList<xcb_window_t> bottomToTop = childrenBottomToTop(tree.get());

    // Which client each frame holds.
    QHash<xcb_window_t, xcb_window_t> clientOfTopLevel;
    const QHash<xcb_window_t, xcb_window_t> topLevels = topLevelOfClients(c, x.root(), clients);
    for (auto it = topLevels.cbegin(); it != topLevels.cend(); ++it) {
        clientOfTopLevel.insert(it.value(), it.key());
    }

    QList<TopLevelRequests> requests;
    requests.reserve(bottomToTop.size());
    for (auto it = bottomToTop.crbegin(); it != bottomToTop.crend(); ++it) {
        requests.append({*it, xcb_get_window_attributes(c, *it), xcb_get_geometry(c, *it)});
    }

    struct Shown {
        xcb_window_t topLevel;
        xcb_window_t owner; // the window that names the owning process
        QRect native;
        // Asked of a frame's client only.
        xcb_get_window_attributes_cookie_t clientAttributes{};
        xcb_get_geometry_cookie_t clientGeometry{};
    };
    QList<Shown> shown;
    for (const TopLevelRequests& request : requests) {
        const auto attributes = x11::takeReply<xcb_get_window_attributes_reply_t>(
            c, request.attributes, &xcb_get_window_attributes_reply);
        const auto geometry =
            x11::takeReply<xcb_get_geometry_reply_t>(c, request.geometry, &xcb_get_geometry_reply);
        // Minimised windows and those of other desktops are unmapped by the window manager.
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE || !geometry ||
            attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY) {
            continue;
        }
        const auto client = clientOfTopLevel.constFind(request.window);
        // Unmanaged windows count only when they bypass the window manager (menus, tooltips,
        // this program's lock); the rest are the window manager's own.
        if (client == clientOfTopLevel.cend() && attributes->override_redirect == 0) {
            continue;
        }
        const int border = geometry->border_width;
        const xcb_window_t owner =
            client != clientOfTopLevel.cend() ? client.value() : request.window;
        Shown window{request.window, owner,
                     QRect(geometry->x, geometry->y, geometry->width + 2 * border,
                           geometry->height + 2 * border)};
        if (owner != request.window) {
            window.clientAttributes = xcb_get_window_attributes(c, owner);
            window.clientGeometry = xcb_get_geometry(c, owner);
        }
        shown.append(window);
    }
    // A frame with its client unmapped, or smaller than its client: the window manager animates
    // it to or from its icon (openbox, one title bar high), or has shaded it.
    QList<bool> inTransition;
    inTransition.reserve(shown.size());
    for (const Shown& window : std::as_const(shown)) {
        if (window.owner == window.topLevel) {
            inTransition.append(false);
            continue;
        }
        const auto attributes = x11::takeReply<xcb_get_window_attributes_reply_t>(
            c, window.clientAttributes, &xcb_get_window_attributes_reply);
        const auto client = x11::takeReply<xcb_get_geometry_reply_t>(c, window.clientGeometry,
                                                                     &xcb_get_geometry_reply);
        inTransition.append((attributes && attributes->map_state != XCB_MAP_STATE_VIEWABLE) ||
                            (client && (client->width > window.native.width() ||
                                        client->height > window.native.height())));
    }

    QList<xcb_window_t> ownerWindows;
    ownerWindows.reserve(shown.size());
    for (const Shown& window : std::as_const(shown)) {
        ownerWindows.append(window.owner);
    }
    x11::WindowOwnerQuery ownerQuery(x, ownerWindows);

    const QList<x11::ScreenScale> scales = screenScales();
    // Bounds count from the main screen's top left corner.
    const QPointF mainOrigin =
        scales.isEmpty() ? QPointF() : QPointF(scales.first().logicalGeometry.topLeft());
    const auto logical = [&](const QRect& native) {
        return x11::nativeToLogical(QRectF(native), scales).translated(-mainOrigin);
    };
    const QList<std::optional<qint64>> owners = ownerQuery.take();
    QList<WindowDescription> windows;
    windows.reserve(shown.size());
    QList<x11::ListedTopLevel> listed;
    listed.reserve(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        WindowDescription description;
        description.windowId = shown[i].topLevel;
        description.bounds = logical(shown[i].native);
        description.ownerProcessIdentifier = owners[i];
        description.inTransition = inTransition[i];
        if (m_applicationOfWindow) {
            description.applicationId = m_applicationOfWindow(shown[i].owner);
        }
        windows.append(description);
        listed.append({shown[i].topLevel, shown[i].owner, owners[i], shown[i].native});
    }

    QList<x11::HeldWindow> trayIcons;
    for (const x11::TrayIcon& icon : m_trayIcons->find(listed)) {
        WindowDescription description;
        description.windowId = icon.window;
        description.bounds = logical(icon.native);
        description.ownerProcessIdentifier = icon.owner;
        description.trayIcon = true;
        trayIcons.append({icon.topLevel, description});
    }
    return x11::withHeldWindows(windows, trayIcons);
}

} // namespace vantrel
