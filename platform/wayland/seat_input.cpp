#include "platform/wayland/seat_input.h"

#include "platform/wayland/key_translation.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/widget_layer_surface.h"

#include <linux/input-event-codes.h>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

namespace vantrel::wayland {

struct SeatListeners {
    static SeatInput& of(void* data) { return *static_cast<SeatInput*>(data); }

    static void keymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
        SeatInput& input = of(data);
        if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
            close(fd);
            return;
        }
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        close(fd);
        if (text == MAP_FAILED)
            return;
        xkb_keymap* keymap =
            xkb_keymap_new_from_string(input.m_context, static_cast<const char*>(text),
                                       XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
        munmap(text, size);
        if (keymap == nullptr)
            return;
        xkb_state_unref(input.m_state);
        xkb_keymap_unref(input.m_keymap);
        input.m_keymap = keymap;
        input.m_state = xkb_state_new(keymap);
        // AD01 is the name of the key where Q lies on a physical keyboard.
        input.m_keymapHasPositions = xkb_keymap_key_by_name(keymap, "AD01") != XKB_KEYCODE_INVALID;
    }
    static void enter(void* data, wl_keyboard*, uint32_t, wl_surface* surface, wl_array*) {
        SeatInput& input = of(data);
        input.m_keyboardSurface = surface;
        // The shown widget is the active window: its field has the focus and its caret blinks.
        // Qt 6.5 deprecates this for QWidget::activateWindow(), which asks the window system; the
        // widget is never shown by Qt (we draw it on a layer surface), so only Qt's own word does.
        if (WidgetLayerSurface* target = input.m_lookup(surface)) {
            QT_WARNING_PUSH
            QT_WARNING_DISABLE_DEPRECATED
            QApplication::setActiveWindow(target->widget());
            QT_WARNING_POP
        }
    }
    static void leave(void* data, wl_keyboard*, uint32_t, wl_surface* surface) {
        SeatInput& input = of(data);
        if (input.m_keyboardSurface == surface)
            input.m_keyboardSurface = nullptr;
        input.m_repeatTimer.stop();
        input.m_composer.reset();
    }
    static void key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
        SeatInput& input = of(data);
        const bool pressed = state == WL_KEYBOARD_KEY_STATE_PRESSED;
        input.deliverKey(key, pressed, false);
        if (pressed && input.m_keymap != nullptr && input.m_repeatRate > 0 &&
            xkb_keymap_key_repeats(input.m_keymap, key + 8)) {
            input.m_repeatKey = key;
            input.m_repeatTimer.start(input.m_repeatDelay);
        } else if (!pressed && key == input.m_repeatKey) {
            input.m_repeatTimer.stop();
        }
    }
    static void modifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                          uint32_t locked, uint32_t group) {
        SeatInput& input = of(data);
        if (input.m_state != nullptr)
            xkb_state_update_mask(input.m_state, depressed, latched, locked, 0, 0, group);
    }
    static void repeatInfo(void* data, wl_keyboard*, int32_t rate, int32_t delay) {
        SeatInput& input = of(data);
        input.m_repeatRate = rate;
        input.m_repeatDelay = delay;
    }

    static void pointerEnter(void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t x,
                             wl_fixed_t y) {
        SeatInput& input = of(data);
        input.m_pointerSurface = surface;
        input.m_pointerPosition = QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y));
    }
    static void pointerLeave(void* data, wl_pointer*, uint32_t, wl_surface* surface) {
        SeatInput& input = of(data);
        if (input.m_pointerSurface == surface)
            input.m_pointerSurface = nullptr;
    }
    static void motion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        SeatInput& input = of(data);
        input.m_pointerPosition = QPointF(wl_fixed_to_double(x), wl_fixed_to_double(y));
        input.deliverPointer(QEvent::MouseMove, Qt::NoButton);
    }
    static void button(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button,
                       uint32_t state) {
        Qt::MouseButton qtButton = Qt::NoButton;
        switch (button) {
        case BTN_LEFT:
            qtButton = Qt::LeftButton;
            break;
        case BTN_RIGHT:
            qtButton = Qt::RightButton;
            break;
        case BTN_MIDDLE:
            qtButton = Qt::MiddleButton;
            break;
        default:
            return;
        }
        of(data).deliverPointer(state == WL_POINTER_BUTTON_STATE_PRESSED
                                    ? QEvent::MouseButtonPress
                                    : QEvent::MouseButtonRelease,
                                qtButton);
    }
    static void axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
    static void frame(void*, wl_pointer*) {}
    static void axisSource(void*, wl_pointer*, uint32_t) {}
    static void axisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
    static void axisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
    static void axisValue120(void*, wl_pointer*, uint32_t, int32_t) {}
};

namespace {

const wl_keyboard_listener keyboardListener = {
    &SeatListeners::keymap, &SeatListeners::enter,     &SeatListeners::leave,
    &SeatListeners::key,    &SeatListeners::modifiers, &SeatListeners::repeatInfo};
// Set by name: libwayland 1.22 (Debian 13) adds an event of seat version 9 to the listener, which
// the version we bind never sends, and which stays null.
wl_pointer_listener makePointerListener() {
    wl_pointer_listener listener{};
    listener.enter = &SeatListeners::pointerEnter;
    listener.leave = &SeatListeners::pointerLeave;
    listener.motion = &SeatListeners::motion;
    listener.button = &SeatListeners::button;
    listener.axis = &SeatListeners::axis;
    listener.frame = &SeatListeners::frame;
    listener.axis_source = &SeatListeners::axisSource;
    listener.axis_stop = &SeatListeners::axisStop;
    listener.axis_discrete = &SeatListeners::axisDiscrete;
    listener.axis_value120 = &SeatListeners::axisValue120;
    return listener;
}
const wl_pointer_listener pointerListener = makePointerListener();

} // namespace

SeatInput::SeatInput(Connection& connection, SurfaceLookup lookup)
    : m_connection(connection)
    , m_lookup(std::move(lookup))
    , m_context(xkb_context_new(XKB_CONTEXT_NO_FLAGS))
    // The locale's, so that a password typed with dead keys is the one typed on the desktop.
    , m_composer(composeTableOfLocale(m_context, composeLocaleOfEnvironment())) {
    connect(&m_repeatTimer, &QTimer::timeout, this, &SeatInput::repeat);
    connect(&m_connection, &Connection::seatCapabilitiesChanged, this, &SeatInput::onCapabilities);
    onCapabilities();
}

SeatInput::~SeatInput() {
    if (m_keyboard != nullptr)
        wl_keyboard_release(m_keyboard);
    if (m_pointer != nullptr)
        wl_pointer_release(m_pointer);
    xkb_state_unref(m_state);
    xkb_keymap_unref(m_keymap);
    xkb_context_unref(m_context);
}

void SeatInput::onCapabilities() {
    wl_seat* seat = m_connection.seat();
    if (seat == nullptr)
        return;
    const uint32_t capabilities = m_connection.seatCapabilities();
    const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (hasKeyboard && m_keyboard == nullptr) {
        m_keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(m_keyboard, &keyboardListener, this);
    } else if (!hasKeyboard && m_keyboard != nullptr) {
        wl_keyboard_release(m_keyboard);
        m_keyboard = nullptr;
        m_keyboardSurface = nullptr;
        m_repeatTimer.stop();
    }
    if (hasPointer && m_pointer == nullptr) {
        m_pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(m_pointer, &pointerListener, this);
    } else if (!hasPointer && m_pointer != nullptr) {
        wl_pointer_release(m_pointer);
        m_pointer = nullptr;
        m_pointerSurface = nullptr;
    }
    m_connection.flush();
}

Qt::KeyboardModifiers SeatInput::modifiers() const {
    Qt::KeyboardModifiers result;
    if (m_state == nullptr)
        return result;
    const auto active = [this](const char* name) {
        return xkb_state_mod_name_is_active(m_state, name, XKB_STATE_MODS_EFFECTIVE) > 0;
    };
    if (active(XKB_MOD_NAME_SHIFT))
        result |= Qt::ShiftModifier;
    if (active(XKB_MOD_NAME_CTRL))
        result |= Qt::ControlModifier;
    if (active(XKB_MOD_NAME_ALT))
        result |= Qt::AltModifier;
    if (active(XKB_MOD_NAME_LOGO))
        result |= Qt::MetaModifier;
    return result;
}

void SeatInput::deliverKey(uint32_t key, bool pressed, bool autoRepeat) {
    WidgetLayerSurface* target = m_lookup(m_keyboardSurface);
    if (target == nullptr || target->widget() == nullptr || m_state == nullptr)
        return;
    // Evdev codes are xkb keycodes less 8, as in X11 key events.
    const xkb_keycode_t code = key + 8;
    char utf8[64] = {};
    xkb_state_key_get_utf8(m_state, code, utf8, sizeof utf8);
    KeyComposer::Typed typed{xkb_state_key_get_one_sym(m_state, code), QString::fromUtf8(utf8)};
    if (pressed) {
        // A dead key, or a key within a compose sequence, types nothing yet.
        const std::optional<KeyComposer::Typed> composed =
            m_composer.press(typed.keysym, typed.text, modifiers());
        if (!composed)
            return;
        typed = *composed;
    }
    if (!typesText(typed.text))
        typed.text.clear();
    QWidget* receiver = target->widget()->focusWidget();
    if (receiver == nullptr)
        receiver = target->widget();
    QKeyEvent event(pressed ? QEvent::KeyPress : QEvent::KeyRelease,
                    qtKeyOfKeysym(typed.keysym, typed.text), modifiers(),
                    scanCodeOfKey(code, typed.keysym, m_keymapHasPositions), typed.keysym, 0,
                    typed.text, autoRepeat);
    QCoreApplication::sendEvent(receiver, &event);
}

void SeatInput::repeat() {
    deliverKey(m_repeatKey, true, true);
    if (m_repeatRate > 0)
        m_repeatTimer.start(1000 / m_repeatRate);
}

void SeatInput::deliverPointer(QEvent::Type type, Qt::MouseButton button) {
    WidgetLayerSurface* target = m_lookup(m_pointerSurface);
    if (target == nullptr || target->widget() == nullptr)
        return;
    QWidget* top = target->widget();
    const QPointF inTop = target->toWidget(m_pointerPosition);
    if (type == QEvent::MouseButtonPress)
        m_buttons |= button;
    else if (type == QEvent::MouseButtonRelease)
        m_buttons &= ~button;
    // A press's release and the drags between go where the press went.
    QWidget* receiver = m_pressTarget;
    if (receiver == nullptr || type == QEvent::MouseButtonPress) {
        receiver = top->childAt(inTop.toPoint());
        if (receiver == nullptr)
            receiver = top;
    }
    if (type == QEvent::MouseButtonPress) {
        m_pressTarget = receiver;
        if ((receiver->focusPolicy() & Qt::ClickFocus) != 0)
            receiver->setFocus(Qt::MouseFocusReason);
    }
    const QPointF local = receiver->mapFrom(top, inTop);
    QMouseEvent event(type, local, top->mapToGlobal(inTop), button, m_buttons, modifiers());
    QCoreApplication::sendEvent(receiver, &event);
    if (m_buttons == Qt::NoButton)
        m_pressTarget = nullptr;
}

} // namespace vantrel::wayland
