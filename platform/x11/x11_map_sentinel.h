#pragma once

#include "platform/x11/unheard_events.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <vector>
#include <xcb/xcb.h>

namespace vantrel {

class InputHold;

namespace x11 {

// Freezes input the moment a locked application's window is mapped or focused, on a thread and an
// X connection of its own. The window manager focuses a window it restores right after mapping it
// (openbox, restoring one still animating away, only focuses it); the main thread, busy painting
// or reading, may hear of it milliseconds later, and a key or a click in between reached it.
class X11MapSentinel {
public:
    // Watches the display $DISPLAY names; without it, or when it cannot be reached, watches
    // nothing.
    explicit X11MapSentinel(InputHold& hold);
    ~X11MapSentinel();
    X11MapSentinel(const X11MapSentinel&) = delete;
    X11MapSentinel& operator=(const X11MapSentinel&) = delete;

    // The top-level windows whose mapping freezes input (frames, or clients under a window
    // manager that does not reparent), and the clients whose focus does.
    void watch(std::vector<std::uint32_t> topLevels, std::vector<std::uint32_t> clients);

    // The main thread heard of a window being mapped or focused.
    void heard(std::uint32_t window);
    // Whether the sentinel froze input for a map or focus the main thread has not heard of yet:
    // a thaw now would let input through before anyone has looked at the window.
    bool hasUnheardMaps() const;

private:
    void run();
    bool isWatched(const std::unordered_set<std::uint32_t>& windows, std::uint32_t window) const;
    void freezeFor(std::uint32_t window);

    InputHold& m_hold;
    xcb_connection_t* m_connection = nullptr;
    int m_wake = -1; // an eventfd: written to stop the thread
    mutable std::mutex m_mutex;
    std::unordered_set<std::uint32_t> m_topLevels;
    std::unordered_set<std::uint32_t> m_clients;
    // Seen by the sentinel, heard by the main thread. Both hear every event within milliseconds;
    // one missed by either side is forgotten after a while.
    UnheardEvents m_unheard{std::chrono::milliseconds(250)};
    std::thread m_thread;
};

} // namespace x11
} // namespace vantrel
