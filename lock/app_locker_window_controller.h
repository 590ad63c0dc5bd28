#pragma once

#include <QObject>

namespace vantrel {

class AppLockerViewController;
class AppLockerWindow;
class KeyboardHold;
class LockCovers;

// Owns the one lock window and its content, made once and kept for the life of the process, with
// the covers of the locked applications' other windows and the hold on the keyboard.
class AppLockerWindowController final : public QObject {
    Q_OBJECT

public:
    explicit AppLockerWindowController(QObject* parent = nullptr);
    ~AppLockerWindowController() override;

    AppLockerWindow* window() const { return m_window; }
    AppLockerViewController* contentViewController() const { return m_content; }
    LockCovers* covers() const { return m_covers; }
    KeyboardHold* keyboardHold() const { return m_keyboardHold; }
    // The desktop shows the window on a surface that has the keyboard to itself: no hold needed.
    bool surfaceTakesKeyboard() const { return m_surfaceTakesKeyboard; }

    // Shows the window above every other; an already visible one is only raised.
    void showWindow();

private:
    AppLockerWindow* m_window;
    AppLockerViewController* m_content;
    LockCovers* m_covers;
    KeyboardHold* m_keyboardHold;
    bool m_surfaceTakesKeyboard = false;
};

} // namespace vantrel
