#pragma once

#include <functional>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace vantrel {

// Keeps the keyboard away from a locked application while the lock window takes the focus. The
// desktop may hand the application the focus before, or even after, the lock window gets it; a
// keyboard grab on the lock window sends every key there meanwhile. The grab ends once the lock
// window has kept the focus for a moment, so that the user's other applications and the window
// manager's keys work again, or when the window goes. While another program holds the keyboard the
// grab is tried again, and while the window has the keyboard but not the focus, the focus is asked
// for again.
class KeyboardHold final : public QObject {
    Q_OBJECT

public:
    explicit KeyboardHold(QObject* parent = nullptr);
    ~KeyboardHold() override;

    // How to give the window the focus when it has the keyboard but not the focus.
    void setActivation(std::function<void(QWindow*)> activate) { m_activate = std::move(activate); }
    // Whether the focus, gone from the window after it had it, is where it may stay: a free
    // application the user or the window manager brought forward. Taken back under the grab,
    // the window manager would not hear that it lost the focus, and some (xfwm4) then pass
    // clicks on it straight to it without focusing it again.
    void setFocusMayStay(std::function<bool()> mayStay) { m_focusMayStay = std::move(mayStay); }

    void hold(QWindow* window);
    void release();
    bool isHeld() const { return !m_window.isNull(); }
    bool isGrabbed() const { return m_grabbed; }

private:
    void tick();
    void onActiveChanged();

    QPointer<QWindow> m_window;
    QMetaObject::Connection m_activeWatch;
    QMetaObject::Connection m_visibleWatch;
    bool m_grabbed = false;
    std::function<void(QWindow*)> m_activate;
    std::function<bool()> m_focusMayStay;
    bool m_hadFocus = false;
    QTimer m_retry;
    QTimer m_settled;
};

} // namespace vantrel
