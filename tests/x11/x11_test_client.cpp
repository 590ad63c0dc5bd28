// A small X client for the desktop tests: opens the windows described on its command line, prints
// "window <id>" for each, and lives until its standard input closes or it is killed.
//
//   x11_test_client "class=tool,Tool;type=normal;geometry=300x200+100+100;skip-taskbar" ...
//
// Keys: class=INSTANCE,CLASS  name=TITLE  type=normal|dialog|utility|dock|none  transient (for
// the first window)  skip-taskbar  geometry=WxH+X+Y  kde=ID  gtk=ID  nopid  machine=HOST
// tray-icon (not mapped, but handed to the system tray as an XEmbed icon)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

namespace {

struct Spec {
    std::string instance = "vantrel-test-client";
    std::string windowClass = "VantrelTestClient";
    std::string title = "test client";
    std::string type = "normal";
    std::string kde;
    std::string gtk;
    std::string machine;
    bool transient = false;
    bool skipTaskbar = false;
    bool pid = true;
    bool trayIcon = false;
    int x = 50, y = 50, width = 200, height = 150;
};

Spec parse(const std::string& text) {
    Spec spec;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find(';', start);
        const std::string item =
            text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const std::size_t equals = item.find('=');
        const std::string key = item.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : item.substr(equals + 1);
        if (key == "class") {
            const std::size_t comma = value.find(',');
            spec.instance = value.substr(0, comma);
            spec.windowClass = comma == std::string::npos ? value : value.substr(comma + 1);
        } else if (key == "name") {
            spec.title = value;
        } else if (key == "type") {
            spec.type = value;
        } else if (key == "kde") {
            spec.kde = value;
        } else if (key == "gtk") {
            spec.gtk = value;
        } else if (key == "machine") {
            spec.machine = value;
        } else if (key == "transient") {
            spec.transient = true;
        } else if (key == "skip-taskbar") {
            spec.skipTaskbar = true;
        } else if (key == "nopid") {
            spec.pid = false;
        } else if (key == "tray-icon") {
            spec.trayIcon = true;
        } else if (key == "geometry") {
            std::sscanf(value.c_str(), "%dx%d+%d+%d", &spec.width, &spec.height, &spec.x, &spec.y);
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return spec;
}

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

void setString(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
               const std::string& value) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8,
                        static_cast<uint32_t>(value.size()), value.data());
}

// Asks the system tray to take the window in as an icon; the tray maps it inside its panel.
void dockInTray(xcb_connection_t* c, int screenNumber, xcb_window_t w) {
    const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber);
    const xcb_atom_t trayAtom = intern(c, selection.c_str());
    // A panel just started shows itself before its tray takes the selection: wait for it, as an
    // application waits for the tray's announcement.
    xcb_window_t tray = XCB_WINDOW_NONE;
    for (int tries = 0; tries < 100 && tray == XCB_WINDOW_NONE; ++tries) {
        if (tries > 0)
            usleep(50 * 1000);
        xcb_get_selection_owner_reply_t* owner =
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, trayAtom), nullptr);
        tray = owner != nullptr ? owner->owner : xcb_window_t{XCB_WINDOW_NONE};
        std::free(owner);
    }
    if (tray == XCB_WINDOW_NONE) {
        std::fprintf(stderr, "x11_test_client: no system tray\n");
        return;
    }
    const xcb_atom_t xembedInfo = intern(c, "_XEMBED_INFO");
    const uint32_t info[] = {0, 1}; // protocol version 0, XEMBED_MAPPED
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, xembedInfo, xembedInfo, 32, 2, info);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = tray;
    request.type = intern(c, "_NET_SYSTEM_TRAY_OPCODE");
    request.data.data32[0] = XCB_CURRENT_TIME;
    request.data.data32[1] = 0; // SYSTEM_TRAY_REQUEST_DOCK
    request.data.data32[2] = w;
    xcb_send_event(c, 0, tray, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&request));
}

} // namespace

int main(int argc, char** argv) {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "x11_test_client: no display\n");
        return 2;
    }
    xcb_ewmh_connection_t ewmh;
    xcb_ewmh_init_atoms_replies(&ewmh, xcb_ewmh_init_atoms(c, &ewmh), nullptr);
    xcb_screen_t* screen = ewmh.screens[screenNumber];
    const xcb_atom_t utf8 = intern(c, "UTF8_STRING");
    const xcb_atom_t kde = intern(c, "_KDE_NET_WM_DESKTOP_FILE");
    const xcb_atom_t gtk = intern(c, "_GTK_APPLICATION_ID");

    char host[256] = {};
    gethostname(host, sizeof(host) - 1);

    std::vector<xcb_window_t> windows;
    for (int i = 1; i < argc; ++i) {
        const Spec spec = parse(argv[i]);
        const xcb_window_t w = xcb_generate_id(c);
        const uint32_t values[] = {screen->white_pixel};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, screen->root, static_cast<int16_t>(spec.x),
                          static_cast<int16_t>(spec.y), static_cast<uint16_t>(spec.width),
                          static_cast<uint16_t>(spec.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          screen->root_visual, XCB_CW_BACK_PIXEL, values);

        std::string wmClass = spec.instance;
        wmClass.push_back('\0');
        wmClass += spec.windowClass;
        wmClass.push_back('\0');
        setString(c, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
        setString(c, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, spec.title);
        setString(c, w, ewmh._NET_WM_NAME, utf8, spec.title);
        setString(c, w, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING,
                  spec.machine.empty() ? std::string(host) : spec.machine);
        if (spec.pid) {
            xcb_ewmh_set_wm_pid(&ewmh, w, static_cast<uint32_t>(getpid()));
        }
        if (!spec.kde.empty()) {
            setString(c, w, kde, utf8, spec.kde);
        }
        if (!spec.gtk.empty()) {
            setString(c, w, gtk, utf8, spec.gtk);
        }
        if (spec.type != "none") {
            xcb_atom_t type = ewmh._NET_WM_WINDOW_TYPE_NORMAL;
            if (spec.type == "dialog") {
                type = ewmh._NET_WM_WINDOW_TYPE_DIALOG;
            } else if (spec.type == "utility") {
                type = ewmh._NET_WM_WINDOW_TYPE_UTILITY;
            } else if (spec.type == "dock") {
                type = ewmh._NET_WM_WINDOW_TYPE_DOCK;
            }
            xcb_ewmh_set_wm_window_type(&ewmh, w, 1, &type);
        }
        if (spec.skipTaskbar) {
            xcb_atom_t state = ewmh._NET_WM_STATE_SKIP_TASKBAR;
            xcb_ewmh_set_wm_state(&ewmh, w, 1, &state);
        }
        if (spec.transient && !windows.empty()) {
            xcb_icccm_set_wm_transient_for(c, w, windows.front());
        }
        xcb_size_hints_t hints{};
        xcb_icccm_size_hints_set_position(&hints, 1, spec.x, spec.y);
        xcb_icccm_size_hints_set_size(&hints, 1, spec.width, spec.height);
        xcb_icccm_set_wm_normal_hints(c, w, &hints);
        if (spec.trayIcon) {
            dockInTray(c, screenNumber, w);
        } else {
            xcb_map_window(c, w);
        }
        windows.push_back(w);
    }
    xcb_flush(c);
    for (xcb_window_t w : windows) {
        std::printf("window %u\n", w);
    }
    std::fflush(stdout);

    pollfd fds[] = {{STDIN_FILENO, POLLIN, 0}, {xcb_get_file_descriptor(c), POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            continue;
        }
        if ((fds[0].revents & (POLLIN | POLLHUP)) != 0) {
            char buffer[64];
            if (read(STDIN_FILENO, buffer, sizeof(buffer)) <= 0) {
                break;
            }
        }
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
            std::free(event);
        }
        if (xcb_connection_has_error(c) != 0) {
            break;
        }
    }
    xcb_ewmh_connection_wipe(&ewmh);
    xcb_disconnect(c);
    return 0;
}
