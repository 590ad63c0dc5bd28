#pragma once

#include "platform/x11/x11_connection.h"

#include <optional>
#include <QList>
#include <xcb/res.h>

namespace vantrel::x11 {

// Which local process made each of some windows. The X server knows it for every client on this
// host (X-Resource's client ids), sandboxed or not: a sandbox's _NET_WM_PID is a number of its own
// PID namespace, and some toolkits set none. Without the extension, _NET_WM_PID counts when
// WM_CLIENT_MACHINE names this host. Windows of remote clients have no process here.
//
// The requests go out together when made and are answered in take(), so a batch costs one
// round trip.
class WindowOwnerQuery {
public:
    WindowOwnerQuery(const X11Connection& connection, const QList<xcb_window_t>& windows);
    ~WindowOwnerQuery();
    WindowOwnerQuery(const WindowOwnerQuery&) = delete;
    WindowOwnerQuery& operator=(const WindowOwnerQuery&) = delete;

    // In the order of the windows; nothing for a window gone meanwhile or without a local owner.
    // Once only.
    QList<std::optional<qint64>> take();

private:
    struct Requests {
        xcb_res_query_client_ids_cookie_t clientIds{};
        xcb_get_property_cookie_t pid{};
        xcb_get_property_cookie_t machine{};
    };

    const X11Connection& m_connection;
    QList<Requests> m_requests;
    bool m_taken = false;
};

// The same for one window, with a round trip of its own.
std::optional<qint64> ownerOfWindow(const X11Connection& connection, xcb_window_t window);

} // namespace vantrel::x11
