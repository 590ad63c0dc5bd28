#include "platform/linux/x11_window_list.h"

#include "platform/linux/x11_connection.h"
#include "platform/linux/x11_model.h"

#include <QGuiApplication>
#include <QScreen>

namespace vantrel {

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFF;
constexpr quint32 longList = 1u << 16;

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

struct WindowRequests {
    xcb_window_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t origin;
    xcb_get_property_cookie_t desktop;
    xcb_get_property_cookie_t pid;
    xcb_get_property_cookie_t machine;
    xcb_get_property_cookie_t extents;
};

template <typename Reply, typename Cookie, typename Fetch>
x11::XcbPointer<Reply> take(xcb_connection_t* connection, Cookie cookie, Fetch fetch) {
    xcb_generic_error_t* error = nullptr;
    x11::XcbPointer<Reply> reply(fetch(connection, cookie, &error));
    x11::XcbPointer<xcb_generic_error_t> dropped(error);
    return reply;
}

} // namespace

X11WindowList::X11WindowList(std::shared_ptr<x11::X11Connection> connection)
    : m_connection(std::move(connection)) {}

std::optional<QList<WindowDescription>> X11WindowList::onScreenWindows() const {
    x11::X11Connection& x = *m_connection;
    xcb_connection_t* c = x.xcb();
    const auto& atoms = x.atoms();

    const auto stackingCookie =
        x.requestProperty(x.root(), atoms._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW, longList);
    const auto desktopCookie =
        x.requestProperty(x.root(), atoms._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1);
    const x11::PropertyReply stacking = x.takeProperty(stackingCookie);
    const QList<quint32> currentDesktop = x11::values32(x.takeProperty(desktopCookie).get());
    if (!stacking || stacking->type != XCB_ATOM_WINDOW) {
        return std::nullopt;
    }
    const QList<quint32> bottomToTop = x11::values32(stacking.get());

    QList<WindowRequests> requests;
    requests.reserve(bottomToTop.size());
    for (auto it = bottomToTop.crbegin(); it != bottomToTop.crend(); ++it) {
        const xcb_window_t window = *it;
        requests.append(
            {window, xcb_get_window_attributes(c, window), xcb_get_geometry(c, window),
             xcb_translate_coordinates(c, window, x.root(), 0, 0),
             x.requestProperty(window, atoms._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1),
             x.requestProperty(window, atoms._NET_WM_PID, XCB_ATOM_CARDINAL, 1),
             x.requestProperty(window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_GET_PROPERTY_TYPE_ANY, 64),
             x.requestProperty(window, atoms._NET_FRAME_EXTENTS, XCB_ATOM_CARDINAL, 4)});
    }

    const QList<x11::ScreenScale> scales = screenScales();
    QList<WindowDescription> windows;
    for (const WindowRequests& request : requests) {
        const auto attributes = take<xcb_get_window_attributes_reply_t>(
            c, request.attributes, &xcb_get_window_attributes_reply);
        const auto geometry =
            take<xcb_get_geometry_reply_t>(c, request.geometry, &xcb_get_geometry_reply);
        const auto origin = take<xcb_translate_coordinates_reply_t>(
            c, request.origin, &xcb_translate_coordinates_reply);
        const QList<quint32> desktop = x11::values32(x.takeProperty(request.desktop).get());
        const QList<quint32> pid = x11::values32(x.takeProperty(request.pid).get());
        const QByteArray machine = x11::bytes8(x.takeProperty(request.machine).get());
        const QList<quint32> extents = x11::values32(x.takeProperty(request.extents).get());

        // Iconified windows and windows of other desktops are unmapped by the window manager.
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE || !geometry ||
            !origin) {
            continue;
        }
        if (!desktop.isEmpty() && !currentDesktop.isEmpty() && desktop.first() != allDesktops &&
            desktop.first() != currentDesktop.first()) {
            continue;
        }
        x11::FrameExtents frame;
        if (extents.size() == 4) {
            frame = {static_cast<int>(extents[0]), static_cast<int>(extents[1]),
                     static_cast<int>(extents[2]), static_cast<int>(extents[3])};
        }
        const QRect native = x11::frameInRoot(QPoint(origin->dst_x, origin->dst_y),
                                              QSize(geometry->width, geometry->height), frame);
        WindowDescription description;
        description.bounds = x11::nativeToLogical(QRectF(native), scales);
        if (!pid.isEmpty() && x.isThisHost(machine)) {
            description.ownerProcessIdentifier = static_cast<qint64>(pid.first());
        }
        windows.append(description);
    }
    return windows;
}

} // namespace vantrel
