#include "platform/x11/x11_map_sentinel.h"

#include "platform/x11/input_hold.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <QtGlobal>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace vantrel::x11 {

X11MapSentinel::X11MapSentinel(InputHold& hold)
    : m_hold(hold) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        qWarning("Cannot watch windows being shown on a connection of its own; input is held "
                 "only once the main thread hears of them");
        return;
    }
    m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wake < 0) {
        xcb_disconnect(c);
        return;
    }
    m_connection = c;
    // Every screen's root: the window manager may manage more than the first.
    for (xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(c)); screen.rem;
         xcb_screen_next(&screen)) {
        const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, screen.data->root, XCB_CW_EVENT_MASK, &mask);
    }
    xcb_flush(c);
    m_thread = std::thread([this] { run(); });
}

X11MapSentinel::~X11MapSentinel() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        // An eventfd write of 8 bytes cannot fail short.
        [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
        m_thread.join();
    }
    if (m_wake >= 0) {
        ::close(m_wake);
    }
    if (m_connection != nullptr) {
        xcb_disconnect(m_connection);
    }
}

void X11MapSentinel::watch(std::vector<std::uint32_t> topLevels,
                           std::vector<std::uint32_t> clients) {
    std::vector<std::uint32_t> added;
    {
        const std::lock_guard lock(m_mutex);
        for (std::uint32_t client : clients) {
            if (m_clients.count(client) == 0) {
                added.push_back(client);
            }
        }
        m_topLevels = std::unordered_set<std::uint32_t>(topLevels.cbegin(), topLevels.cend());
        m_clients = std::unordered_set<std::uint32_t>(clients.cbegin(), clients.cend());
    }
    if (m_connection == nullptr || added.empty()) {
        return;
    }
    // Focus events come to whoever selects them on the window; a client gone meanwhile only
    // answers with an error nobody needs.
    const quint32 mask = XCB_EVENT_MASK_FOCUS_CHANGE;
    for (std::uint32_t client : added) {
        xcb_discard_reply(m_connection, xcb_change_window_attributes_checked(
                                            m_connection, client, XCB_CW_EVENT_MASK, &mask)
                                            .sequence);
    }
    xcb_flush(m_connection);
}

bool X11MapSentinel::isWatched(const std::unordered_set<std::uint32_t>& windows,
                               std::uint32_t window) const {
    const std::lock_guard lock(m_mutex);
    return windows.count(window) > 0;
}

void X11MapSentinel::freezeFor(std::uint32_t window) {
    {
        const std::lock_guard lock(m_mutex);
        m_unheard.seen(window, std::chrono::steady_clock::now());
    }
    m_hold.freeze();
}

void X11MapSentinel::heard(std::uint32_t window) {
    const std::lock_guard lock(m_mutex);
    if (m_unheard.isPending(window) || m_topLevels.count(window) > 0 ||
        m_clients.count(window) > 0) {
        m_unheard.heard(window, std::chrono::steady_clock::now());
    }
}

bool X11MapSentinel::hasUnheardMaps() const {
    const std::lock_guard lock(m_mutex);
    return m_unheard.any(std::chrono::steady_clock::now());
}

void X11MapSentinel::run() {
    pollfd fds[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {m_wake, POLLIN, 0}};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            const auto type = static_cast<std::uint8_t>(event->response_type & 0x7f);
            if (type == XCB_MAP_NOTIFY) {
                const auto* mapped = reinterpret_cast<const xcb_map_notify_event_t*>(event);
                if (mapped->override_redirect == 0 && isWatched(m_topLevels, mapped->window)) {
                    freezeFor(mapped->window);
                }
            } else if (type == XCB_FOCUS_IN) {
                // As the main thread counts them: grabs lend the focus and give it back.
                const auto* focus = reinterpret_cast<const xcb_focus_in_event_t*>(event);
                if (focus->mode != XCB_NOTIFY_MODE_GRAB && focus->mode != XCB_NOTIFY_MODE_UNGRAB &&
                    focus->detail != XCB_NOTIFY_DETAIL_POINTER &&
                    isWatched(m_clients, focus->event)) {
                    freezeFor(focus->event);
                }
            }
            free(event);
        }
        if (xcb_connection_has_error(m_connection) != 0) {
            return;
        }
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
    }
}

} // namespace vantrel::x11
