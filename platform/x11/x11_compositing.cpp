#include "platform/window_compositing.h"
#include "platform/x11/x11_connection.h"

#include <QByteArray>
#include <QGuiApplication>
#include <xcb/xcb.h>

namespace vantrel {

bool desktopCompositesWindows() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // Other windowing systems (Wayland, the offscreen platform) always blend.
    if (!x11 || !x11->connection())
        return true;
    xcb_connection_t* connection = x11->connection();

    // A compositing manager owns the selection _NET_WM_CM_S<screen number>.
    int screenNumber = 0;
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype dot = display.lastIndexOf('.');
    if (dot > display.lastIndexOf(':'))
        screenNumber = display.mid(dot + 1).toInt();
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screenNumber);

    const auto atomCookie =
        xcb_intern_atom(connection, 1, static_cast<quint16>(name.size()), name.constData());
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection, atomCookie, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

} // namespace vantrel
