#pragma once

#include <QObject>

namespace vantrel {

class AppLockerViewController;
class AppLockerWindow;

// Owns the one lock window and its content, made once and kept for the life of the process.
class AppLockerWindowController final : public QObject {
    Q_OBJECT

public:
    explicit AppLockerWindowController(QObject* parent = nullptr);
    ~AppLockerWindowController() override;

    AppLockerWindow* window() const { return m_window; }
    AppLockerViewController* contentViewController() const { return m_content; }

    // Shows the window on every desktop; an already visible one is only raised.
    void showWindow();

private:
    AppLockerWindow* m_window;
    AppLockerViewController* m_content;
};

} // namespace vantrel
