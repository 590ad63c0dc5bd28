#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace vantrel::x11 {

class X11Connection;

// Keeps clicks from windows by giving them an empty input region: a click there falls through to
// the window manager's frame. A locked window the window manager maps again (restored, on a
// desktop switched to) is on screen before anything can cover it, and a click in that moment
// would reach it; shielded beforehand, it takes none. The windows' own regions come back when
// the shield is lifted.
class X11ClickShield {
public:
    explicit X11ClickShield(X11Connection& connection);

    // Shields exactly these windows from now on; the others get their own regions back.
    void shieldOnly(const QSet<xcb_window_t>& windows);
    // Adds one window, leaving the rest as they are.
    void shield(xcb_window_t window);
    // A shielded window that set a region of its own keeps its new region for later and stays
    // shielded; true when the event was one of the extension's.
    bool handleEvent(const xcb_generic_event_t* event);

private:
    struct Region {
        // The window had no region of its own: it takes the whole window again.
        bool whole = true;
        QList<xcb_rectangle_t> rectangles;
    };

    void shieldAll(const QList<xcb_window_t>& windows);
    void restore(xcb_window_t window, const Region& region);

    X11Connection& m_connection;
    std::uint8_t m_eventBase = 0;
    bool m_available = false;
    QHash<xcb_window_t, Region> m_saved;
};

} // namespace vantrel::x11
