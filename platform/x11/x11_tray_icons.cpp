#include "platform/x11/x11_tray_icons.h"

#include "platform/x11/x11_window_owner.h"

#include <QCoreApplication>

namespace vantrel::x11 {

namespace {

// A tray puts each icon in a window or two of its own inside its panel; deeper is no icon.
constexpr int deepestIcon = 4;

// A window inside one of the listed top levels.
struct Inside {
    xcb_window_t window = XCB_WINDOW_NONE;
    qsizetype listedIndex = 0;
    qint64 owner = 0;
};

QList<xcb_window_t> windowsOf(const QList<Inside>& inside) {
    QList<xcb_window_t> windows;
    windows.reserve(inside.size());
    for (const Inside& window : inside) {
        windows.append(window.window);
    }
    return windows;
}

QList<Inside> childrenOf(xcb_connection_t* c, const QList<Inside>& parents) {
    QList<xcb_query_tree_cookie_t> trees;
    trees.reserve(parents.size());
    for (const Inside& parent : parents) {
        trees.append(xcb_query_tree(c, parent.window));
    }
    QList<Inside> children;
    for (qsizetype i = 0; i < parents.size(); ++i) {
        const auto tree = takeReply<xcb_query_tree_reply_t>(c, trees[i], &xcb_query_tree_reply);
        if (!tree) {
            continue; // gone meanwhile
        }
        const xcb_window_t* ids = xcb_query_tree_children(tree.get());
        const int count = xcb_query_tree_children_length(tree.get());
        for (int j = 0; j < count; ++j) {
            children.append({ids[j], parents[i].listedIndex});
        }
    }
    return children;
}

} // namespace

QByteArray traySelectionName(int screenNumber) {
    return "_NET_SYSTEM_TRAY_S" + QByteArray::number(screenNumber);
}

QList<WindowDescription> withHeldWindows(const QList<WindowDescription>& windows,
                                         const QList<HeldWindow>& held) {
    QList<WindowDescription> merged;
    merged.reserve(windows.size() + held.size());
    for (const WindowDescription& window : windows) {
        for (const HeldWindow& inside : held) {
            if (window.windowId != 0 && inside.holder == window.windowId) {
                merged.append(inside.window);
            }
        }
        merged.append(window);
    }
    return merged;
}

TrayIcons::TrayIcons(const X11Connection& connection, QObject* parent)
    : QObject(parent)
    , m_connection(connection) {
    const QByteArray name = traySelectionName(connection.screenNumber());
    const auto atom = takeReply<xcb_intern_atom_reply_t>(
        connection.xcb(),
        xcb_intern_atom(connection.xcb(), 0, static_cast<quint16>(name.size()), name.constData()),
        &xcb_intern_atom_reply);
    if (atom) {
        m_selection = atom->atom;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

std::optional<qint64> TrayIcons::trayProcess() const {
    xcb_connection_t* c = m_connection.xcb();
    const auto owner = takeReply<xcb_get_selection_owner_reply_t>(
        c, xcb_get_selection_owner(c, m_selection), &xcb_get_selection_owner_reply);
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    return ownerOfWindow(m_connection, owner->owner);
}

QList<TrayIcon> TrayIcons::find(const QList<ListedTopLevel>& listed) {
    xcb_connection_t* c = m_connection.xcb();
    const std::optional<qint64> tray = trayProcess();
    QList<Inside> level;
    for (qsizetype i = 0; tray && i < listed.size(); ++i) {
        if (listed[i].owner == tray) {
            level.append({listed[i].client, i});
        }
    }

    // Down the tray's own windows to the first window of another process on each path.
    QSet<xcb_window_t> walked;
    QList<Inside> icons;
    for (int depth = 0; depth < deepestIcon && !level.isEmpty(); ++depth) {
        const QList<xcb_window_t> windows = windowsOf(level);
        // Followed before it is read: whatever changes in it after the reading is reported.
        follow(windows);
        walked.unite(QSet<xcb_window_t>(windows.cbegin(), windows.cend()));
        const QList<Inside> children = childrenOf(c, level);
        WindowOwnerQuery owners(m_connection, windowsOf(children));
        QList<xcb_get_window_attributes_cookie_t> attributes;
        attributes.reserve(children.size());
        for (const Inside& child : children) {
            attributes.append(xcb_get_window_attributes(c, child.window));
        }
        const QList<std::optional<qint64>> childOwners = owners.take();
        QList<Inside> next;
        for (qsizetype i = 0; i < children.size(); ++i) {
            const auto shown = takeReply<xcb_get_window_attributes_reply_t>(
                c, attributes[i], &xcb_get_window_attributes_reply);
            if (!shown || shown->map_state != XCB_MAP_STATE_VIEWABLE ||
                shown->_class == XCB_WINDOW_CLASS_INPUT_ONLY || !childOwners[i]) {
                continue;
            }
            Inside child = children[i];
            child.owner = *childOwners[i];
            if (child.owner == *tray) {
                next.append(child);
            } else {
                icons.append(child);
            }
        }
        level = next;
    }
    // A window the tray no longer shows is no concern of the next walk's.
    m_followed = walked;

    QList<xcb_translate_coordinates_cookie_t> places;
    QList<xcb_get_geometry_cookie_t> sizes;
    for (const Inside& icon : std::as_const(icons)) {
        places.append(xcb_translate_coordinates(c, icon.window, m_connection.root(), 0, 0));
        sizes.append(xcb_get_geometry(c, icon.window));
    }
    QList<TrayIcon> found;
    for (qsizetype i = 0; i < icons.size(); ++i) {
        const auto place = takeReply<xcb_translate_coordinates_reply_t>(
            c, places[i], &xcb_translate_coordinates_reply);
        const auto size = takeReply<xcb_get_geometry_reply_t>(c, sizes[i], &xcb_get_geometry_reply);
        if (!place || !size) {
            continue;
        }
        const int border = size->border_width;
        const ListedTopLevel& holder = listed[icons[i].listedIndex];
        // A window shows only inside its ancestors; the panel's frame is the outermost.
        const QRect native = QRect(place->dst_x - border, place->dst_y - border,
                                   size->width + 2 * border, size->height + 2 * border)
                                 .intersected(holder.native);
        if (!native.isEmpty()) {
            found.append({icons[i].window, holder.topLevel, icons[i].owner, native});
        }
    }
    return found;
}

void TrayIcons::follow(const QList<xcb_window_t>& windows) {
    QList<xcb_window_t> fresh;
    for (const xcb_window_t window : windows) {
        if (!m_followed.contains(window)) {
            fresh.append(window);
        }
    }
    m_connection.selectEvents(fresh, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    m_followed.unite(QSet<xcb_window_t>(fresh.cbegin(), fresh.cend()));
}

bool TrayIcons::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || message == nullptr || m_followed.isEmpty()) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_CREATE_NOTIFY:
    case XCB_DESTROY_NOTIFY:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_REPARENT_NOTIFY:
    case XCB_CONFIGURE_NOTIFY:
    case XCB_GRAVITY_NOTIFY:
    case XCB_CIRCULATE_NOTIFY:
        break;
    default:
        return false;
    }
    // Each of them first names the window whose children it tells of (CreateNotify's parent).
    const xcb_window_t inside = reinterpret_cast<const xcb_map_notify_event_t*>(event)->event;
    if (m_followed.contains(inside) && !m_changeScheduled) {
        m_changeScheduled = true;
        // After Qt has handed over every event read so far: one report for the burst.
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_changeScheduled = false;
                Q_EMIT changed();
            },
            Qt::QueuedConnection);
    }
    return false;
}

} // namespace vantrel::x11
