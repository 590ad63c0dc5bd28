#pragma once

#include "platform/wayland/key_composer.h"

#include <functional>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QPointF>
#include <QTimer>
#include <QWidget>

struct wl_keyboard;
struct wl_pointer;
struct wl_surface;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace vantrel::wayland {

class Connection;
class WidgetLayerSurface;

// The seat's keyboard and pointer on our layer surfaces, turned into Qt key and mouse events for
// the widgets shown there: keys through xkbcommon with the compositor's keymap and the locale's
// dead keys and compose sequences, repeated at its rate; buttons to the child under the pointer,
// released where they were pressed.
class SeatInput final : public QObject {
public:
    using SurfaceLookup = std::function<WidgetLayerSurface*(wl_surface*)>;

    SeatInput(Connection& connection, SurfaceLookup lookup);
    ~SeatInput() override;

private:
    void onCapabilities();
    void deliverKey(uint32_t key, bool pressed, bool autoRepeat);
    void deliverPointer(QEvent::Type type, Qt::MouseButton button);
    Qt::KeyboardModifiers modifiers() const;
    void repeat();

    friend struct SeatListeners;

    Connection& m_connection;
    SurfaceLookup m_lookup;
    wl_keyboard* m_keyboard = nullptr;
    wl_pointer* m_pointer = nullptr;
    xkb_context* m_context = nullptr;
    xkb_keymap* m_keymap = nullptr;
    xkb_state* m_state = nullptr;
    KeyComposer m_composer;
    bool m_keymapHasPositions = true;
    wl_surface* m_keyboardSurface = nullptr;
    wl_surface* m_pointerSurface = nullptr;
    QPointF m_pointerPosition;
    Qt::MouseButtons m_buttons;
    QPointer<QWidget> m_pressTarget;
    QTimer m_repeatTimer;
    uint32_t m_repeatKey = 0;
    int m_repeatRate = 25;   // per second; 0 for none
    int m_repeatDelay = 600; // ms
};

} // namespace vantrel::wayland
