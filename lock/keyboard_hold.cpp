#include "lock/keyboard_hold.h"

#include "platform/platform.h"
#include "platform/workspace.h"

#include <chrono>

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// Another client's grab (a window manager's key binding, an open menu) is usually short, and so is
// the time a window manager takes to hand the focus elsewhere.
constexpr auto retryInterval = 15ms;
// How long the lock window keeps the focus before the keyboard is let go: long enough for a
// window manager that focuses a new window late to have done so.
constexpr auto settleTime = 250ms;

bool grab(QWindow* window) {
    return platform().workspace != nullptr && platform().workspace->grabKeyboard(window);
}

} // namespace

KeyboardHold::KeyboardHold(QObject* parent)
    : QObject(parent) {
    m_retry.setInterval(retryInterval);
    connect(&m_retry, &QTimer::timeout, this, &KeyboardHold::tick);
    m_settled.setSingleShot(true);
    m_settled.setInterval(settleTime);
    connect(&m_settled, &QTimer::timeout, this, &KeyboardHold::release);
}

KeyboardHold::~KeyboardHold() {
    release();
}

void KeyboardHold::hold(QWindow* window) {
    if (window != m_window) {
        release();
        m_window = window;
        if (window == nullptr)
            return;
        m_activeWatch =
            connect(window, &QWindow::activeChanged, this, &KeyboardHold::onActiveChanged);
        m_visibleWatch = connect(window, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible)
                release();
        });
    }
    m_settled.stop();
    m_hadFocus = false;
    m_grabbed = grab(window);
    m_retry.start();
    onActiveChanged();
}

void KeyboardHold::release() {
    m_retry.stop();
    m_settled.stop();
    disconnect(m_activeWatch);
    disconnect(m_visibleWatch);
    if (m_grabbed && platform().workspace != nullptr)
        platform().workspace->releaseKeyboard();
    m_grabbed = false;
    m_window = nullptr;
}

void KeyboardHold::tick() {
    if (!m_window) {
        release();
        return;
    }
    if (!m_grabbed)
        m_grabbed = grab(m_window);
    if (!m_grabbed || m_window->isActive())
        return;
    if (m_hadFocus && m_focusMayStay && m_focusMayStay()) {
        release();
        return;
    }
    if (m_activate)
        m_activate(m_window);
}

void KeyboardHold::onActiveChanged() {
    if (m_window && m_window->isActive()) {
        m_hadFocus = true;
        if (!m_settled.isActive())
            m_settled.start();
    } else {
        m_settled.stop();
    }
}

} // namespace vantrel
