#include "platform/x11/x11_window_owner.h"

namespace vantrel::x11 {

namespace {

std::optional<qint64> localClientPid(xcb_res_query_client_ids_reply_t* reply) {
    if (reply == nullptr) {
        return std::nullopt;
    }
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) == 0 ||
            xcb_res_client_id_value_value_length(it.data) < 1) {
            continue;
        }
        const quint32 pid = *xcb_res_client_id_value_value(it.data);
        if (pid > 0) {
            return static_cast<qint64>(pid);
        }
    }
    return std::nullopt;
}

} // namespace

WindowOwnerQuery::WindowOwnerQuery(const X11Connection& connection,
                                   const QList<xcb_window_t>& windows)
    : m_connection(connection) {
    const auto& atoms = connection.atoms();
    m_requests.reserve(windows.size());
    for (xcb_window_t window : windows) {
        Requests r;
        if (connection.hasClientIds()) {
            const xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            r.clientIds = xcb_res_query_client_ids(connection.xcb(), 1, &spec);
        }
        r.pid = connection.requestProperty(window, atoms._NET_WM_PID, XCB_ATOM_CARDINAL, 1);
        r.machine = connection.requestProperty(window, XCB_ATOM_WM_CLIENT_MACHINE,
                                               XCB_GET_PROPERTY_TYPE_ANY, 64);
        m_requests.append(r);
    }
}

WindowOwnerQuery::~WindowOwnerQuery() {
    if (!m_taken) {
        take();
    }
}

QList<std::optional<qint64>> WindowOwnerQuery::take() {
    QList<std::optional<qint64>> owners;
    if (m_taken) {
        return owners;
    }
    m_taken = true;
    owners.reserve(m_requests.size());
    for (const Requests& r : std::as_const(m_requests)) {
        std::optional<qint64> owner;
        if (m_connection.hasClientIds()) {
            xcb_generic_error_t* error = nullptr;
            XcbPointer<xcb_res_query_client_ids_reply_t> reply(
                xcb_res_query_client_ids_reply(m_connection.xcb(), r.clientIds, &error));
            XcbPointer<xcb_generic_error_t> dropped(error);
            owner = localClientPid(reply.get());
        }
        const QList<quint32> pid = values32(m_connection.takeProperty(r.pid).get());
        const QByteArray machine = bytes8(m_connection.takeProperty(r.machine).get());
        // A client the server cannot name (connected over TCP from this host) still may.
        if (!owner && !pid.isEmpty() && m_connection.isThisHost(machine)) {
            owner = static_cast<qint64>(pid.first());
        }
        owners.append(owner);
    }
    return owners;
}

std::optional<qint64> ownerOfWindow(const X11Connection& connection, xcb_window_t window) {
    WindowOwnerQuery query(connection, {window});
    return query.take().value(0);
}

} // namespace vantrel::x11
