#pragma once

#include "platform/x11/x11_model.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <QByteArray>
#include <QList>
#include <QString>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

// Qt's own connection to the X server, with the EWMH atoms and RAII around what xcb hands out.
// Every X request of the program goes through platform/linux.
namespace vantrel::x11 {

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

// A reply or error that xcb allocated; freed when it goes.
template <typename T> using XcbPointer = std::unique_ptr<T, FreeDeleter>;

using PropertyReply = XcbPointer<xcb_get_property_reply_t>;

// The reply to a request; nothing when the window is gone meanwhile, and its error is dropped
// instead of reaching Qt.
template <typename Reply, typename Cookie, typename Fetch>
XcbPointer<Reply> takeReply(xcb_connection_t* connection, Cookie cookie, Fetch fetch) {
    xcb_generic_error_t* error = nullptr;
    XcbPointer<Reply> reply(fetch(connection, cookie, &error));
    XcbPointer<xcb_generic_error_t> dropped(error);
    return reply;
}

class X11Connection {
public:
    // Qt's connection, or nothing when Qt does not run on X11 (offscreen, Wayland).
    static std::shared_ptr<X11Connection> fromQt();

    X11Connection(xcb_connection_t* connection, int screenNumber);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    xcb_connection_t* xcb() const { return m_connection; }
    xcb_ewmh_connection_t* ewmh() { return &m_ewmh; }
    const xcb_ewmh_connection_t& atoms() const { return m_ewmh; }
    int screenNumber() const { return m_screenNumber; }
    xcb_window_t root() const { return m_root; }
    xcb_atom_t wmChangeState() const { return m_wmChangeState; }
    xcb_atom_t kdeDesktopFile() const { return m_kdeDesktopFile; }
    xcb_atom_t gtkApplicationId() const { return m_gtkApplicationId; }
    // Whether the server names the process of a client (X-Resource 1.2 or later).
    bool hasClientIds() const { return m_hasClientIds; }

    // The name WM_CLIENT_MACHINE carries for clients of this host.
    const QByteArray& hostName() const { return m_hostName; }
    bool isThisHost(const QByteArray& clientMachine) const;

    xcb_get_property_cookie_t requestProperty(xcb_window_t window, xcb_atom_t property,
                                              xcb_atom_t type = XCB_GET_PROPERTY_TYPE_ANY,
                                              quint32 longLength = 1024) const;
    // The property's value; nothing when the window or the property is gone.
    PropertyReply takeProperty(xcb_get_property_cookie_t cookie) const;

    // Adds to the events this connection gets from each window, keeping those selected before
    // (Qt selects on its own windows and on the root through this same connection).
    void selectEvents(const QList<xcb_window_t>& windows, quint32 mask) const;

    // Sends a client message to the root window, the way EWMH and ICCCM ask clients to.
    void sendToRoot(xcb_window_t window, xcb_atom_t type, quint32 data0, quint32 data1 = 0,
                    quint32 data2 = 0) const;

    // Replaces a 32-bit property of a window.
    void setProperty32(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                       const QList<quint32>& values) const;

    void flush() const { xcb_flush(m_connection); }

    // The EWMH window type an atom names; nothing for types not known here.
    std::optional<WindowKind> windowKindOfType(xcb_atom_t type) const;
    // The managed windows of a local process, now, leaving out panels and desktops.
    QList<xcb_window_t> clientWindowsOfProcess(qint64 pid) const;

private:
    xcb_atom_t intern(const char* name) const;

    xcb_connection_t* m_connection;
    xcb_ewmh_connection_t m_ewmh{};
    int m_screenNumber;
    xcb_window_t m_root = XCB_WINDOW_NONE;
    xcb_atom_t m_wmChangeState = XCB_ATOM_NONE;
    xcb_atom_t m_kdeDesktopFile = XCB_ATOM_NONE;
    xcb_atom_t m_gtkApplicationId = XCB_ATOM_NONE;
    QByteArray m_hostName;
    bool m_hasClientIds = false;
};

// The values of a 32-bit property (CARDINAL, WINDOW, ATOM); empty for anything else.
QList<quint32> values32(const xcb_get_property_reply_t* reply);
// The bytes of an 8-bit property (STRING, UTF8_STRING); empty for anything else.
QByteArray bytes8(const xcb_get_property_reply_t* reply);

} // namespace vantrel::x11
