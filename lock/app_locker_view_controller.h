#pragma once

#include "platform/running_application.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace vantrel {

struct StoredPassword;

// The lock window's content: the locked application's icon and name, the master password field
// and the two ways out: the right password unlocks the application until it quits; the close
// button or Control+Alt+Q hides it, and it is locked again when it next comes forward.
class AppLockerViewController final : public QWidget {
    Q_OBJECT

public:
    explicit AppLockerViewController(QWidget* parent = nullptr);
    ~AppLockerViewController() override;

    // The content of the lock window, once it has been made.
    static AppLockerViewController* shared();

    const RunningApplicationRef& runningApp() const { return m_runningApp; }
    void setRunningApp(RunningApplicationRef application) { m_runningApp = std::move(application); }

    // Shows the icon and "<name> is locked" of runningApp ("App" when it has no name).
    void refreshLockedAppInfo();
    // Unlocks on the right master password; shakes the field otherwise, keeping what was typed.
    // A damaged stored password unlocks nothing, and the prompt says so.
    void verifyPassword();
    // hide: hides the application, leaving it pending, and closes the window once it is hidden;
    // otherwise unlocks it and closes the window. Terminated applications are pruned either way.
    void dismissLock(bool hide);
    void closeAppAfterLockAppHide();

    QLabel* imageViewLockApp() const { return m_imageViewLockApp; }
    QLabel* lblTitleLockApp() const { return m_lblTitleLockApp; }
    QLineEdit* secureTextFieldMasterPassword() const { return m_secureTextFieldMasterPassword; }
    QToolButton* btnClose() const { return m_btnClose; }
    QLabel* lblPressKeyMessage() const { return m_lblPressKeyMessage; }
    QToolButton* btnLogin() const { return m_btnLogin; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The close shortcut, watched application-wide while the content is on screen.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clickedLogin() { verifyPassword(); }
    void clickedClose() { dismissLock(true); }
    void controlTextDidChange(const QString& text);
    void showPrompt(const StoredPassword& stored);
    void closeWindow();

    QLabel* m_imageViewLockApp;
    QLabel* m_lblTitleLockApp;
    QLineEdit* m_secureTextFieldMasterPassword;
    QToolButton* m_btnClose;
    QLabel* m_lblPressKeyMessage;
    QToolButton* m_btnLogin;
    bool m_eventMonitorInstalled = false;
    RunningApplicationRef m_runningApp;
};

} // namespace vantrel
