// A witness from outside for the end-to-end tests and the benchmark: it watches an X display and
// records, as JSON lines, when a window of a locked application is on the screen without a window
// of Vantrel's over it, and where the keyboard focus is. It asks only the X server, never either
// program, so a test can hold Vantrel to what a user would really have seen.
//
// Usage: vantrel-e2e-cover-watch --app-instance NAME [--app-instance NAME ...] --vantrel-pid PID
//                                --log FILE [--interval-ms 2]
//
// An application window is a root child (a frame, or an override-redirect window) whose client
// has the WM_CLASS instance NAME; a Vantrel window is one whose client has _NET_WM_PID PID. The
// client of a root child is the first window down each path of its subtree that carries WM_CLASS
// or _NET_WM_PID: the search stops there, so a panel holding Vantrel's tray icon does not count as
// one of Vantrel's windows.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <poll.h>
#include <string>
#include <unordered_map>
#include <vector>
#include <xcb/xcb.h>

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void requestStop(int) {
    g_stopRequested = 1;
}

struct FreeDeleter {
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Half-open rectangle [x1, x2) x [y1, y2).
struct Box {
    long long x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool empty() const { return x1 >= x2 || y1 >= y2; }
    long long area() const { return empty() ? 0 : (x2 - x1) * (y2 - y1); }
};

Box intersection(const Box& a, const Box& b) {
    return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
}

// Takes cut out of a set of disjoint boxes; the pieces left stay disjoint, so their areas add up.
void subtract(std::vector<Box>& pieces, const Box& cut) {
    std::vector<Box> left;
    left.reserve(pieces.size() + 4);
    for (const Box& piece : pieces) {
        const Box common = intersection(piece, cut);
        if (common.empty()) {
            left.push_back(piece);
            continue;
        }
        if (piece.y1 < common.y1)
            left.push_back({piece.x1, piece.y1, piece.x2, common.y1});
        if (common.y2 < piece.y2)
            left.push_back({piece.x1, common.y2, piece.x2, piece.y2});
        if (piece.x1 < common.x1)
            left.push_back({piece.x1, common.y1, common.x1, common.y2});
        if (common.x2 < piece.x2)
            left.push_back({common.x2, common.y1, piece.x2, common.y2});
    }
    pieces.swap(left);
}

struct Options {
    std::vector<std::string> instances;
    long long vantrelPid = -1;
    std::string logPath;
    int intervalMs = 2;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc)
            return false;
        const char* value = argv[++i];
        char* end = nullptr;
        if (name == "--app-instance") {
            options.instances.emplace_back(value);
        } else if (name == "--vantrel-pid") {
            options.vantrelPid = std::strtoll(value, &end, 10);
            if (*value == '\0' || *end != '\0' || options.vantrelPid <= 0)
                return false;
        } else if (name == "--log") {
            options.logPath = value;
        } else if (name == "--interval-ms") {
            const long interval = std::strtol(value, &end, 10);
            if (*value == '\0' || *end != '\0' || interval < 1 || interval > 10000)
                return false;
            options.intervalMs = static_cast<int>(interval);
        } else {
            return false;
        }
    }
    return !options.instances.empty() && options.vantrelPid > 0 && !options.logPath.empty();
}

class CoverWatch {
public:
    CoverWatch(Options options, xcb_connection_t* connection, std::FILE* log)
        : m_options(std::move(options))
        , m_connection(connection)
        , m_log(log) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        m_pidAtom = internAtom("_NET_WM_PID");
    }

    bool watch() {
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        Reply<xcb_generic_error_t> error(xcb_request_check(
            m_connection,
            xcb_change_window_attributes_checked(m_connection, m_root, XCB_CW_EVENT_MASK, &mask)));
        return !error && m_pidAtom != XCB_NONE;
    }

    int run() {
        write("{\"t\":%.6f,\"event\":\"ready\"}", monotonicSeconds());
        const int fd = xcb_get_file_descriptor(m_connection);
        const double interval = m_options.intervalMs / 1000.0;
        double due = 0;
        bool events = false;
        while (g_stopRequested == 0) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                handle(event);
                std::free(event);
                events = true;
            }
            if (xcb_connection_has_error(m_connection))
                return finish("the X connection broke");
            double now = monotonicSeconds();
            if (events || now >= due) {
                evaluate();
                events = false;
                now = monotonicSeconds();
                due = now + interval;
            }
            // Replies read during the evaluation may have queued events that poll() cannot see.
            if (xcb_generic_event_t* event = xcb_poll_for_queued_event(m_connection)) {
                handle(event);
                std::free(event);
                events = true;
                continue;
            }
            pollfd watched{fd, POLLIN, 0};
            const int timeout = std::max(0, static_cast<int>((due - now) * 1000.0 + 0.999));
            poll(&watched, 1, timeout);
        }
        return finish(nullptr);
    }

private:
    struct TopLevel {
        bool classified = false;
        bool app = false;
        bool vantrel = false;
        xcb_window_t client = XCB_NONE;
        std::vector<xcb_window_t> members; // the windows walked below it, for property changes
        // What the last evaluation saw.
        bool shown = false;
        bool uncovered = false;
        long long reportedArea = 0;
    };

    struct Snapshot {
        std::vector<xcb_window_t> stacking; // bottom to top
        std::unordered_map<xcb_window_t, bool> viewable;
        std::unordered_map<xcb_window_t, Box> boxes;
        Box screen;
        xcb_window_t focus = XCB_NONE;
        double time = 0;
    };

    xcb_atom_t internAtom(const char* name) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            m_connection,
            xcb_intern_atom(m_connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : XCB_NONE;
    }

    // One line at once, flushed: a test reads the log while the watch goes on.
    __attribute__((format(printf, 2, 3))) void write(const char* format, ...) {
        std::va_list arguments;
        va_start(arguments, format);
        std::vfprintf(m_log, format, arguments);
        va_end(arguments);
        std::fputc('\n', m_log);
        std::fflush(m_log);
    }

    // -- what belongs to whom ----------------------------------------------------------------

    void forget(xcb_window_t window) {
        const auto found = m_topLevels.find(window);
        if (found == m_topLevels.end())
            return;
        for (const xcb_window_t member : found->second.members)
            m_ownerOf.erase(member);
        m_topLevels.erase(found);
    }

    void markDirty(xcb_window_t topLevel) {
        if (topLevel == XCB_NONE || topLevel == m_root)
            return;
        m_topLevels[topLevel].classified = false;
    }

    // The root child that holds window, or XCB_NONE when it is gone or is the root.
    xcb_window_t topLevelOf(xcb_window_t window) {
        if (window == m_root || window == XCB_NONE)
            return XCB_NONE;
        if (m_topLevels.count(window) != 0)
            return window;
        if (const auto owner = m_ownerOf.find(window); owner != m_ownerOf.end())
            return owner->second;
        // Not walked yet: climb to the root (rare: focus or a property of a window never seen).
        for (int depth = 0; depth < 64; ++depth) {
            Reply<xcb_query_tree_reply_t> tree(
                xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, window), nullptr));
            if (!tree)
                return XCB_NONE;
            if (tree->parent == m_root)
                return window;
            window = tree->parent;
        }
        return XCB_NONE;
    }

    // Walks the subtree of a root child level by level, every level's requests in one round trip,
    // and selects property changes on every window passed so a later WM_CLASS or _NET_WM_PID is
    // noticed.
    void classify(xcb_window_t topLevel, TopLevel& entry) {
        for (const xcb_window_t member : entry.members)
            m_ownerOf.erase(member);
        entry.members.clear();
        entry.app = entry.vantrel = false;
        entry.client = XCB_NONE;
        entry.classified = true;

        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        std::vector<xcb_window_t> level{topLevel};
        for (int depth = 0; depth < 16 && !level.empty(); ++depth) {
            struct Pending {
                xcb_get_property_cookie_t wmClass, pid;
                xcb_query_tree_cookie_t tree;
            };
            std::vector<Pending> pending;
            pending.reserve(level.size());
            for (const xcb_window_t window : level) {
                xcb_change_window_attributes(m_connection, window, XCB_CW_EVENT_MASK, &mask);
                pending.push_back(
                    {xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING,
                                      0, 64),
                     xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1),
                     xcb_query_tree(m_connection, window)});
            }
            std::vector<xcb_window_t> next;
            for (std::size_t i = 0; i < level.size(); ++i) {
                const xcb_window_t window = level[i];
                Reply<xcb_get_property_reply_t> wmClass(
                    xcb_get_property_reply(m_connection, pending[i].wmClass, nullptr));
                Reply<xcb_get_property_reply_t> pid(
                    xcb_get_property_reply(m_connection, pending[i].pid, nullptr));
                Reply<xcb_query_tree_reply_t> tree(
                    xcb_query_tree_reply(m_connection, pending[i].tree, nullptr));
                if (window != topLevel) {
                    entry.members.push_back(window);
                    m_ownerOf[window] = topLevel;
                }
                const bool hasClass = wmClass && wmClass->format == 8 &&
                                      xcb_get_property_value_length(wmClass.get()) > 0;
                const bool hasPid =
                    pid && pid->format == 32 && xcb_get_property_value_length(pid.get()) >= 4;
                if (hasClass || hasPid) {
                    if (entry.client == XCB_NONE)
                        entry.client = window;
                    if (hasClass && matchesInstance(wmClass.get()))
                        entry.app = true;
                    if (hasPid) {
                        const uint32_t owner =
                            *static_cast<const uint32_t*>(xcb_get_property_value(pid.get()));
                        if (owner == static_cast<uint64_t>(m_options.vantrelPid))
                            entry.vantrel = true;
                    }
                    continue; // a client: what lies below it is its own
                }
                if (!tree)
                    continue;
                const xcb_window_t* children = xcb_query_tree_children(tree.get());
                next.insert(next.end(), children,
                            children + xcb_query_tree_children_length(tree.get()));
            }
            level.swap(next);
        }
        xcb_flush(m_connection); // the last level's event selections
    }

    bool matchesInstance(const xcb_get_property_reply_t* reply) const {
        const char* value = static_cast<const char*>(xcb_get_property_value(reply));
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply));
        const std::string instance(value, strnlen(value, length));
        return std::find(m_options.instances.begin(), m_options.instances.end(), instance) !=
               m_options.instances.end();
    }

    // -- events ------------------------------------------------------------------------------

    // Returns true when the event may change which windows belong to whom.
    bool handle(const xcb_generic_event_t* event) {
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            const auto* created = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            if (created->parent != m_root)
                return false;
            markDirty(created->window);
            return true;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto* destroyed = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
            if (const auto found = m_topLevels.find(destroyed->window);
                found != m_topLevels.end()) {
                close(destroyed->window, found->second, monotonicSeconds(), "gone");
                forget(destroyed->window);
            }
            m_focusTop.clear();
            return true;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto* moved = reinterpret_cast<const xcb_reparent_notify_event_t*>(event);
            if (const auto owner = m_ownerOf.find(moved->window); owner != m_ownerOf.end())
                markDirty(owner->second);
            if (moved->parent == m_root) {
                markDirty(moved->window);
            } else {
                if (const auto found = m_topLevels.find(moved->window);
                    found != m_topLevels.end()) {
                    close(moved->window, found->second, monotonicSeconds(), "gone");
                    forget(moved->window);
                }
                markDirty(topLevelOf(moved->parent));
            }
            m_focusTop.clear();
            return true;
        }
        case XCB_MAP_NOTIFY: {
            const auto* mapped = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (mapped->event != m_root)
                return false;
            markDirty(mapped->window);
            return true;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto* changed = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            if (changed->atom != XCB_ATOM_WM_CLASS && changed->atom != m_pidAtom)
                return false;
            markDirty(topLevelOf(changed->window));
            return true;
        }
        default:
            return false; // geometry, stacking and mapping are read afresh at every evaluation
        }
    }

    // -- evaluation --------------------------------------------------------------------------

    void classifyDirty() {
        for (auto& [window, entry] : m_topLevels) {
            if (!entry.classified)
                classify(window, entry);
        }
    }

    // Reads stacking, mapping and geometry of the windows that matter, and the focus, in one
    // round trip as long as no window is new.
    Snapshot read() {
        Snapshot snapshot;
        const auto tree = xcb_query_tree(m_connection, m_root);
        const auto rootGeometry = xcb_get_geometry(m_connection, m_root);
        const auto focus = xcb_get_input_focus(m_connection);
        struct Pending {
            xcb_window_t window;
            xcb_get_window_attributes_cookie_t attributes;
            xcb_get_geometry_cookie_t geometry;
        };
        std::vector<Pending> pending;
        const auto ask = [&](xcb_window_t window) {
            pending.push_back({window, xcb_get_window_attributes(m_connection, window),
                               xcb_get_geometry(m_connection, window)});
        };
        for (const auto& [window, entry] : m_topLevels) {
            if (entry.app || entry.vantrel)
                ask(window);
        }

        Reply<xcb_query_tree_reply_t> treeReply(xcb_query_tree_reply(m_connection, tree, nullptr));
        Reply<xcb_get_geometry_reply_t> rootReply(
            xcb_get_geometry_reply(m_connection, rootGeometry, nullptr));
        Reply<xcb_get_input_focus_reply_t> focusReply(
            xcb_get_input_focus_reply(m_connection, focus, nullptr));
        if (treeReply) {
            const xcb_window_t* children = xcb_query_tree_children(treeReply.get());
            snapshot.stacking.assign(children,
                                     children + xcb_query_tree_children_length(treeReply.get()));
        }
        if (rootReply)
            snapshot.screen = {0, 0, rootReply->width, rootReply->height};
        if (focusReply)
            snapshot.focus = focusReply->focus;

        // Windows the events have not told of yet (or at the start): walk them now.
        for (const xcb_window_t window : snapshot.stacking) {
            const auto found = m_topLevels.find(window);
            if (found != m_topLevels.end() && found->second.classified)
                continue;
            TopLevel& entry = m_topLevels[window];
            classify(window, entry);
            if (entry.app || entry.vantrel)
                ask(window);
        }
        for (std::size_t i = 0; i < pending.size(); ++i) {
            Reply<xcb_get_window_attributes_reply_t> attributes(
                xcb_get_window_attributes_reply(m_connection, pending[i].attributes, nullptr));
            Reply<xcb_get_geometry_reply_t> geometry(
                xcb_get_geometry_reply(m_connection, pending[i].geometry, nullptr));
            if (!attributes || !geometry)
                continue; // gone meanwhile
            snapshot.viewable[pending[i].window] = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            const long long border = geometry->border_width;
            snapshot.boxes[pending[i].window] = {geometry->x, geometry->y,
                                                 geometry->x + geometry->width + 2 * border,
                                                 geometry->y + geometry->height + 2 * border};
        }
        snapshot.time = monotonicSeconds();
        return snapshot;
    }

    void evaluate() {
        // A snapshot taken while the events that explain it are still queued is retaken once they
        // are handled, so a window is never judged by what it was a moment before.
        Snapshot snapshot;
        for (int attempt = 0; attempt < 4; ++attempt) {
            classifyDirty();
            snapshot = read();
            bool changed = false;
            while (xcb_generic_event_t* event = xcb_poll_for_queued_event(m_connection)) {
                changed = handle(event) || changed;
                std::free(event);
            }
            if (!changed)
                break;
        }
        judge(snapshot);
        reportFocus(snapshot);
    }

    void judge(const Snapshot& snapshot) {
        std::unordered_map<xcb_window_t, bool> listed;
        for (std::size_t i = 0; i < snapshot.stacking.size(); ++i) {
            const xcb_window_t window = snapshot.stacking[i];
            listed[window] = true;
            const auto found = m_topLevels.find(window);
            if (found == m_topLevels.end())
                continue;
            TopLevel& entry = found->second;
            const auto viewable = snapshot.viewable.find(window);
            if (!entry.app || viewable == snapshot.viewable.end() || !viewable->second) {
                close(window, entry, snapshot.time, entry.app ? "unmapped" : "reclassified");
                continue;
            }
            if (!entry.shown) {
                entry.shown = true;
                write("{\"t\":%.6f,\"event\":\"appeared\",\"window\":%u,\"client\":%u}",
                      snapshot.time, window, entry.client);
            }
            std::vector<Box> left{intersection(snapshot.boxes.at(window), snapshot.screen)};
            for (std::size_t j = i + 1; j < snapshot.stacking.size() && !left.empty(); ++j) {
                const xcb_window_t above = snapshot.stacking[j];
                const auto aboveEntry = m_topLevels.find(above);
                const auto aboveViewable = snapshot.viewable.find(above);
                if (aboveEntry == m_topLevels.end() || !aboveEntry->second.vantrel ||
                    aboveViewable == snapshot.viewable.end() || !aboveViewable->second)
                    continue;
                subtract(left, snapshot.boxes.at(above));
            }
            long long area = 0;
            Box bounds{};
            for (const Box& piece : left) {
                if (piece.empty())
                    continue;
                bounds = area == 0
                             ? piece
                             : Box{std::min(bounds.x1, piece.x1), std::min(bounds.y1, piece.y1),
                                   std::max(bounds.x2, piece.x2), std::max(bounds.y2, piece.y2)};
                area += piece.area();
            }
            if (area == 0) {
                closeStretch(window, entry, snapshot.time, "covered");
            } else if (!entry.uncovered ||
                       std::llabs(area - entry.reportedArea) * 4 > entry.reportedArea) {
                entry.uncovered = true;
                entry.reportedArea = area;
                write("{\"t\":%.6f,\"event\":\"uncovered\",\"window\":%u,\"area\":%lld,"
                      "\"rect\":[%lld,%lld,%lld,%lld]}",
                      snapshot.time, window, area, bounds.x1, bounds.y1, bounds.x2 - bounds.x1,
                      bounds.y2 - bounds.y1);
            }
        }
        // Windows that left the root's children without an event handled yet.
        for (auto& [window, entry] : m_topLevels) {
            if (listed.count(window) == 0)
                close(window, entry, snapshot.time, "gone");
        }
    }

    // why: "covered", or how else the stretch ended ("unmapped", "gone", "end" of the watch).
    void closeStretch(xcb_window_t window, TopLevel& entry, double time, const char* why) {
        if (!entry.uncovered)
            return;
        entry.uncovered = false;
        entry.reportedArea = 0;
        write("{\"t\":%.6f,\"event\":\"covered\",\"window\":%u,\"why\":\"%s\"}", time, window, why);
    }

    // The window is off the screen (unmapped, gone, or no longer an application's).
    void close(xcb_window_t window, TopLevel& entry, double time, const char* why) {
        closeStretch(window, entry, time, why);
        entry.shown = false;
    }

    void reportFocus(const Snapshot& snapshot) {
        const xcb_window_t focus = snapshot.focus;
        bool app = false;
        bool vantrel = false;
        if (focus != XCB_NONE && focus != XCB_INPUT_FOCUS_POINTER_ROOT) {
            auto top = m_focusTop.find(focus);
            if (top == m_focusTop.end())
                top = m_focusTop.emplace(focus, topLevelOf(focus)).first;
            if (const auto entry = m_topLevels.find(top->second); entry != m_topLevels.end()) {
                app = entry->second.app;
                vantrel = entry->second.vantrel;
            }
        }
        if (m_focusReported && focus == m_focus && app == m_focusApp && vantrel == m_focusVantrel)
            return;
        m_focusReported = true;
        m_focus = focus;
        m_focusApp = app;
        m_focusVantrel = vantrel;
        write("{\"t\":%.6f,\"event\":\"focus\",\"window\":%u,\"app\":%s,\"vantrel\":%s}",
              snapshot.time, focus, app ? "true" : "false", vantrel ? "true" : "false");
    }

    int finish(const char* error) {
        const double now = monotonicSeconds();
        for (auto& [window, entry] : m_topLevels)
            closeStretch(window, entry, now, "end");
        if (error != nullptr) {
            write("{\"t\":%.6f,\"event\":\"end\",\"error\":\"%s\"}", now, error);
            return 1;
        }
        write("{\"t\":%.6f,\"event\":\"end\"}", now);
        return 0;
    }

    Options m_options;
    xcb_connection_t* m_connection;
    std::FILE* m_log;
    xcb_window_t m_root = XCB_NONE;
    xcb_atom_t m_pidAtom = XCB_NONE;
    std::unordered_map<xcb_window_t, TopLevel> m_topLevels;
    std::unordered_map<xcb_window_t, xcb_window_t> m_ownerOf;
    std::unordered_map<xcb_window_t, xcb_window_t> m_focusTop;
    bool m_focusReported = false;
    xcb_window_t m_focus = XCB_NONE;
    bool m_focusApp = false;
    bool m_focusVantrel = false;
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs("usage: vantrel-e2e-cover-watch --app-instance NAME [--app-instance NAME ...]"
                   " --vantrel-pid PID --log FILE [--interval-ms 2]\n",
                   stderr);
        return 2;
    }
    std::FILE* log = std::fopen(options.logPath.c_str(), "w");
    if (log == nullptr) {
        std::fprintf(stderr, "vantrel-e2e-cover-watch: %s: %s\n", options.logPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("vantrel-e2e-cover-watch: no X display\n", stderr);
        return 1;
    }
    // Without SA_RESTART, so a signal cuts the wait in poll() short.
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    CoverWatch watch(std::move(options), connection, log);
    if (!watch.watch()) {
        std::fputs("vantrel-e2e-cover-watch: cannot watch the root window\n", stderr);
        return 1;
    }
    const int status = watch.run();
    xcb_disconnect(connection);
    std::fclose(log);
    return status;
}
