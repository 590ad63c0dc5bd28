#pragma once

#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace vantrel {

class CRVSecureTextField;

// The "General" tab of the preferences: launching at log-in, and changing the master password.
// It keeps nothing of its own: the checkbox shows the stored setting each time the tab is about
// to appear, and the password lives in the password store.
class GeneralPreferencesVC : public QWidget {
    Q_OBJECT

public:
    explicit GeneralPreferencesVC(QWidget* parent = nullptr);

    // Sets the checkbox from the stored setting and hides the passwords again; runs each time the
    // tab is about to appear.
    void viewWillAppear();

    // The views, made by the constructor and owned by this widget.
    QLabel* lblStartupLaunch = nullptr;
    QCheckBox* btnLaunchAutomatically = nullptr;
    QLabel* lblChangePassword = nullptr;
    QLabel* lblOldPassword = nullptr;
    CRVSecureTextField* txtFieldOldPassword = nullptr;
    QLabel* lblNewPassword = nullptr;
    CRVSecureTextField* txtFieldNewPassword = nullptr;
    QLabel* lblConfirmPassword = nullptr;
    CRVSecureTextField* txtFieldConfirmPassword = nullptr;
    QPushButton* btnChangePassword = nullptr;

public Q_SLOTS:
    // Registers or removes the login launcher after the checkbox, and stores the choice.
    void clickedLaunchAutomatically();
    // Checks the three fields in turn; the first that fails is shaken and explained, otherwise
    // the new password is stored and the fields are emptied.
    void clickedChangePassword();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildViews();
    void applyStyle();

    QLabel* m_startupHint = nullptr;
    QList<QFrame*> m_cards;
    QList<QFrame*> m_rowSeparators;
    bool m_applyingStyle = false;
};

} // namespace vantrel
