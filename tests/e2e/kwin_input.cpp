// The user's keys on a KWin desktop, which takes no virtual keyboards: KWin's own fake input.
// Keys are found in the keymap KWin hands its seat's keyboards, so the text typed comes out as
// written whatever the layout.
//
// Usage: vantrel-e2e-kwin-input [--delay MS] ACTION...
//   type TEXT    each character of TEXT, with Shift or AltGr where the keymap needs them
//   key NAME     one key by its keysym name (Return, BackSpace, dead_acute, a)
//   combo A+B+K  A and B (ctrl, alt, shift, logo or keysym names) held while K is pressed
//   down NAME, up NAME   one key pressed, or released, alone: held across later actions
//   sleep MS
// Without actions it reads them from standard input, a line each, and answers "ok" once KWin has
// taken each line, or "error: ..." (a held key stays held until "up" or the end of the input).
// The client must be allowed KWin's org_kde_kwin_fake_input.
#include "fake-input-client-protocol.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <linux/input-event-codes.h>
#include <set>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace {

struct Connection {
    wl_display* display = nullptr;
    wl_seat* seat = nullptr;
    wl_keyboard* keyboard = nullptr;
    org_kde_kwin_fake_input* fakeInput = nullptr;
    std::string keymapText;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    auto* connection = static_cast<Connection*>(data);
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        connection->fakeInput = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && connection->seat == nullptr)
        connection->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

void onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* connection = static_cast<Connection*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map != MAP_FAILED) {
            // The text ends with a NUL that xkbcommon does not want.
            connection->keymapText.assign(static_cast<const char*>(map),
                                          ::strnlen(static_cast<const char*>(map), size));
            ::munmap(map, size);
        }
    }
    ::close(fd);
}

void onEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void onLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void onKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener kKeyboardListener = {onKeymap, onEnter,     onLeave,
                                                onKey,    onModifiers, onRepeatInfo};

// One key as the keymap has it: its evdev code and the modifier keys that pick its level.
struct Stroke {
    uint32_t code;
    std::vector<uint32_t> modifiers;
};

class Typist {
public:
    Typist(Connection& connection, std::chrono::milliseconds delay)
        : m_connection(connection)
        , m_delay(delay) {
        m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        if (!connection.keymapText.empty())
            m_keymap =
                xkb_keymap_new_from_string(m_context, connection.keymapText.c_str(),
                                           XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (m_keymap == nullptr) {
            // No keyboard on the seat yet: KWin's keymap is then the default one.
            const xkb_rule_names names = {};
            m_keymap = xkb_keymap_new_from_names(m_context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
        }
        if (m_keymap == nullptr)
            throw std::runtime_error("no keymap");
        m_shift = xkb_keymap_mod_get_index(m_keymap, XKB_MOD_NAME_SHIFT);
        m_levelThree = xkb_keymap_mod_get_index(m_keymap, "Mod5");
    }

    ~Typist() {
        xkb_keymap_unref(m_keymap);
        xkb_context_unref(m_context);
    }

    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

    void type(const std::string& text) {
        for (const char32_t character : decode(text)) {
            const xkb_keysym_t keysym =
                character == U'\n' ? XKB_KEY_Return : xkb_utf32_to_keysym(character);
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(character));
            press(find(keysym, name));
        }
    }

    void key(const std::string& name) { press(find(keysym(name), name)); }

    void combo(const std::string& keys) {
        std::vector<std::string> names;
        std::size_t start = 0;
        for (std::size_t plus; (plus = keys.find('+', start)) != std::string::npos;
             start = plus + 1)
            names.push_back(keys.substr(start, plus - start));
        names.push_back(keys.substr(start));
        std::vector<uint32_t> held;
        for (std::size_t i = 0; i + 1 < names.size(); ++i)
            held.push_back(find(keysym(names[i]), names[i]).code);
        // The key itself at its first level: ctrl+a is Control and a, not A.
        const Stroke last = find(keysym(names.back()), names.back());
        for (const uint32_t code : held)
            send(code, true);
        send(last.code, true);
        send(last.code, false);
        for (auto it = held.rbegin(); it != held.rend(); ++it)
            send(*it, false);
    }

    void down(const std::string& name) {
        const uint32_t code = find(keysym(name), name).code;
        send(code, true);
        m_held.insert(code);
    }

    void up(const std::string& name) {
        const uint32_t code = find(keysym(name), name).code;
        send(code, false);
        m_held.erase(code);
    }

    // Nothing stays pressed once the tool ends: KWin would repeat it.
    void releaseAll() {
        for (const uint32_t code : m_held)
            send(code, false);
        m_held.clear();
    }

private:
    static xkb_keysym_t keysym(const std::string& name) {
        static const struct {
            const char* alias;
            const char* name;
        } kAliases[] = {{"ctrl", "Control_L"},        {"alt", "Alt_L"},    {"shift", "Shift_L"},
                        {"logo", "Super_L"},          {"meta", "Super_L"}, {"super", "Super_L"},
                        {"altgr", "ISO_Level3_Shift"}};
        for (const auto& alias : kAliases)
            if (name == alias.alias)
                return xkb_keysym_from_name(alias.name, XKB_KEYSYM_NO_FLAGS);
        xkb_keysym_t keysym = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
        if (keysym == XKB_KEY_NoSymbol)
            keysym = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
        return keysym;
    }

    static xkb_mod_mask_t bit(xkb_mod_index_t index) {
        return index == XKB_MOD_INVALID ? 0 : xkb_mod_mask_t{1} << index;
    }

    // The lowest level of the first key that gives keysym in the first layout.
    Stroke find(xkb_keysym_t keysym, const std::string& what) const {
        if (keysym == XKB_KEY_NoSymbol)
            throw std::runtime_error("no such key: " + what);
        const xkb_keycode_t last = xkb_keymap_max_keycode(m_keymap);
        for (xkb_level_index_t level = 0; level < 4; ++level) {
            for (xkb_keycode_t code = xkb_keymap_min_keycode(m_keymap); code <= last; ++code) {
                if (level >= xkb_keymap_num_levels_for_key(m_keymap, code, 0))
                    continue;
                const xkb_keysym_t* syms = nullptr;
                const int count = xkb_keymap_key_get_syms_by_level(m_keymap, code, 0, level, &syms);
                if (count != 1 || syms[0] != keysym)
                    continue;
                xkb_mod_mask_t masks[8];
                const std::size_t found =
                    xkb_keymap_key_get_mods_for_level(m_keymap, code, 0, level, masks, 8);
                // Only levels Shift and AltGr reach: Caps Lock would stay on.
                const xkb_mod_mask_t reachable = bit(m_shift) | bit(m_levelThree);
                for (std::size_t i = 0; i < found; ++i) {
                    if ((masks[i] & ~reachable) != 0)
                        continue;
                    Stroke stroke{code - 8, {}};
                    if ((masks[i] & bit(m_shift)) != 0)
                        stroke.modifiers.push_back(KEY_LEFTSHIFT);
                    if ((masks[i] & bit(m_levelThree)) != 0)
                        stroke.modifiers.push_back(KEY_RIGHTALT);
                    return stroke;
                }
            }
        }
        throw std::runtime_error("the keymap has no key for " + what);
    }

    void press(const Stroke& stroke) {
        for (const uint32_t modifier : stroke.modifiers)
            send(modifier, true);
        send(stroke.code, true);
        send(stroke.code, false);
        for (auto it = stroke.modifiers.rbegin(); it != stroke.modifiers.rend(); ++it)
            send(*it, false);
    }

    // Each key waits until KWin has it, and then the delay, as a person's keys would.
    void send(uint32_t code, bool pressed) {
        org_kde_kwin_fake_input_keyboard_key(m_connection.fakeInput, code,
                                             pressed ? WL_KEYBOARD_KEY_STATE_PRESSED
                                                     : WL_KEYBOARD_KEY_STATE_RELEASED);
        if (wl_display_roundtrip(m_connection.display) < 0)
            throw std::runtime_error("KWin closed the connection");
        std::this_thread::sleep_for(m_delay);
    }

    static std::u32string decode(const std::string& text) {
        std::u32string decoded;
        for (std::size_t i = 0; i < text.size();) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const std::size_t length = byte < 0x80       ? 1
                                       : byte >> 5 == 6  ? 2
                                       : byte >> 4 == 14 ? 3
                                                         : 4;
            char32_t value = length == 1 ? byte : byte & (0x7fu >> length);
            for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
                value = (value << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3f);
            decoded.push_back(value);
            i += length;
        }
        return decoded;
    }

    Connection& m_connection;
    std::chrono::milliseconds m_delay;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_mod_index_t m_shift = XKB_MOD_INVALID;
    xkb_mod_index_t m_levelThree = XKB_MOD_INVALID;
    std::set<uint32_t> m_held;
};

void perform(Typist& typist, const std::string& action, const std::string& argument) {
    if (action == "type")
        typist.type(argument);
    else if (action == "key")
        typist.key(argument);
    else if (action == "combo")
        typist.combo(argument);
    else if (action == "down")
        typist.down(argument);
    else if (action == "up")
        typist.up(argument);
    else if (action == "sleep")
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argument.c_str())));
    else
        throw std::runtime_error("unknown action: " + action);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::chrono::milliseconds delay(10);
    if (arguments.size() >= 2 && arguments[0] == "--delay") {
        delay = std::chrono::milliseconds(std::atoi(arguments[1].c_str()));
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    Connection connection;
    connection.display = wl_display_connect(nullptr);
    if (connection.display == nullptr) {
        std::fprintf(stderr, "kwin-input: no Wayland display\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(connection.display);
    wl_registry_add_listener(registry, &kRegistryListener, &connection);
    wl_display_roundtrip(connection.display);
    if (connection.fakeInput == nullptr) {
        std::fprintf(stderr, "kwin-input: the compositor offers no org_kde_kwin_fake_input 4\n");
        return 1;
    }
    if (connection.seat != nullptr) {
        connection.keyboard = wl_seat_get_keyboard(connection.seat);
        wl_keyboard_add_listener(connection.keyboard, &kKeyboardListener, &connection);
    }
    org_kde_kwin_fake_input_authenticate(connection.fakeInput, "Vantrel end-to-end tests",
                                         "types the user's keys");
    wl_display_roundtrip(connection.display);

    int status = 0;
    try {
        Typist typist(connection, delay);
        if (!arguments.empty()) {
            if (arguments.size() % 2 != 0)
                throw std::runtime_error("every action takes one argument");
            for (std::size_t i = 0; i < arguments.size(); i += 2)
                perform(typist, arguments[i], arguments[i + 1]);
        } else {
            for (std::string line; std::getline(std::cin, line);) {
                const std::size_t space = line.find(' ');
                try {
                    perform(typist, line.substr(0, space),
                            space == std::string::npos ? std::string() : line.substr(space + 1));
                    std::cout << "ok" << std::endl;
                } catch (const std::runtime_error& error) {
                    std::cout << "error: " << error.what() << std::endl;
                }
            }
        }
        typist.releaseAll();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kwin-input: %s\n", error.what());
        status = 1;
    }
    wl_display_roundtrip(connection.display);
    wl_display_disconnect(connection.display);
    return status;
}
