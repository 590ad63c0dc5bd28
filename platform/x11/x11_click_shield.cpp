#include "platform/x11/x11_click_shield.h"

#include "platform/x11/x11_connection.h"

namespace vantrel::x11 {
namespace {

// One rectangle over the whole window (its border too) is what the server answers for a window
// without a region of its own.
bool coversWhole(const QList<xcb_rectangle_t>& rectangles,
                 const xcb_get_geometry_reply_t& geometry) {
    if (rectangles.size() != 1) {
        return false;
    }
    const xcb_rectangle_t& only = rectangles.first();
    const int border = geometry.border_width;
    return only.x <= -border && only.y <= -border &&
           only.x + only.width >= geometry.width + border &&
           only.y + only.height >= geometry.height + border;
}

} // namespace

X11ClickShield::X11ClickShield(X11Connection& connection)
    : m_connection(connection) {
    xcb_connection_t* c = m_connection.xcb();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_shape_id);
    if (extension == nullptr || extension->present == 0) {
        return;
    }
    // Input regions came with version 1.1.
    const XcbPointer<xcb_shape_query_version_reply_t> version(
        xcb_shape_query_version_reply(c, xcb_shape_query_version(c), nullptr));
    m_available = version && (version->major_version > 1 ||
                              (version->major_version == 1 && version->minor_version >= 1));
    m_eventBase = extension->first_event;
}

void X11ClickShield::shieldOnly(const QSet<xcb_window_t>& windows) {
    QList<xcb_window_t> added;
    for (xcb_window_t window : windows) {
        if (!m_saved.contains(window)) {
            added.append(window);
        }
    }
    for (auto it = m_saved.begin(); it != m_saved.end();) {
        if (windows.contains(it.key())) {
            ++it;
        } else {
            restore(it.key(), it.value());
            it = m_saved.erase(it);
        }
    }
    shieldAll(added);
}

void X11ClickShield::shield(xcb_window_t window) {
    if (!m_saved.contains(window)) {
        shieldAll({window});
    }
}

void X11ClickShield::shieldAll(const QList<xcb_window_t>& windows) {
    if (!m_available || windows.isEmpty()) {
        return;
    }
    xcb_connection_t* c = m_connection.xcb();
    struct Asked {
        xcb_window_t window;
        xcb_shape_get_rectangles_cookie_t rectangles;
        xcb_get_geometry_cookie_t geometry;
    };
    QList<Asked> asked;
    asked.reserve(windows.size());
    for (xcb_window_t window : windows) {
        asked.append({window, xcb_shape_get_rectangles(c, window, XCB_SHAPE_SK_INPUT),
                      xcb_get_geometry(c, window)});
    }
    for (const Asked& one : asked) {
        const auto rectangles = takeReply<xcb_shape_get_rectangles_reply_t>(
            c, one.rectangles, &xcb_shape_get_rectangles_reply);
        const auto geometry =
            takeReply<xcb_get_geometry_reply_t>(c, one.geometry, &xcb_get_geometry_reply);
        if (!rectangles || !geometry) {
            continue; // gone meanwhile
        }
        Region region;
        const xcb_rectangle_t* first = xcb_shape_get_rectangles_rectangles(rectangles.get());
        region.rectangles = QList<xcb_rectangle_t>(
            first, first + xcb_shape_get_rectangles_rectangles_length(rectangles.get()));
        region.whole = coversWhole(region.rectangles, *geometry);
        m_saved.insert(one.window, region);
        // Its own new regions are news, to be kept for later.
        xcb_shape_select_input(c, one.window, 1);
        xcb_shape_rectangles(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, XCB_CLIP_ORDERING_UNSORTED,
                             one.window, 0, 0, 0, nullptr);
    }
    m_connection.flush();
}

void X11ClickShield::restore(xcb_window_t window, const Region& region) {
    xcb_connection_t* c = m_connection.xcb();
    // The window may be gone by now: the errors say nothing worth hearing.
    xcb_discard_reply(c, xcb_shape_select_input_checked(c, window, 0).sequence);
    const xcb_void_cookie_t set =
        region.whole
            ? xcb_shape_mask_checked(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT, window, 0, 0,
                                     XCB_PIXMAP_NONE)
            : xcb_shape_rectangles_checked(c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_INPUT,
                                           XCB_CLIP_ORDERING_UNSORTED, window, 0, 0,
                                           static_cast<std::uint32_t>(region.rectangles.size()),
                                           region.rectangles.constData());
    xcb_discard_reply(c, set.sequence);
    m_connection.flush();
}

bool X11ClickShield::handleEvent(const xcb_generic_event_t* event) {
    if (!m_available || (event->response_type & ~0x80) != m_eventBase + XCB_SHAPE_NOTIFY) {
        return false;
    }
    const auto* notify = reinterpret_cast<const xcb_shape_notify_event_t*>(event);
    const auto saved = m_saved.find(notify->affected_window);
    // An empty region is the shield itself.
    if (notify->shape_kind != XCB_SHAPE_SK_INPUT || saved == m_saved.end() ||
        (notify->shaped != 0 && notify->extents_width == 0 && notify->extents_height == 0)) {
        return true;
    }
    const xcb_window_t window = notify->affected_window;
    m_saved.erase(saved);
    shieldAll({window});
    return true;
}

} // namespace vantrel::x11
