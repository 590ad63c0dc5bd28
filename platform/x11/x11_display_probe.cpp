#include "platform/x11/x11_display_probe.h"

#include <xcb/xcb.h>

namespace vantrel {

bool x11DisplayOpens(const QByteArray& displayName) {
    if (displayName.isEmpty())
        return false;
    xcb_connection_t* connection = xcb_connect(displayName.constData(), nullptr);
    const bool opens = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return opens;
}

} // namespace vantrel
