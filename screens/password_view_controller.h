#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace vantrel {

class CRVSecureTextField;
struct StoredPassword;

// The master password screen of the popover. Set-up mode (no password stored) takes a new
// password twice; entry mode takes the stored one and moves the popover on to the home screen.
// A damaged stored password keeps the screen in entry mode, says so, and nothing typed opens it.
// The mode lives in the views: the confirmation field is hidden exactly in entry mode.
class PasswordViewController : public QWidget {
    Q_OBJECT

public:
    explicit PasswordViewController(QWidget* parent = nullptr);

    // Empties and hides the fields, gives the first one the focus and puts the screen into the
    // mode the stored password calls for. Runs each time the screen is about to show.
    void configureView();

    // The views, made by the constructor and owned by this widget.
    QFrame* boxParent = nullptr;
    QLabel* imageView = nullptr;
    QLabel* lblWelcome = nullptr;
    QLabel* lblVantrel = nullptr;
    QLabel* lblKeepYour = nullptr;
    QWidget* stackView = nullptr;
    CRVSecureTextField* txtFieldMasterPassword = nullptr;
    CRVSecureTextField* txtFieldConfirmMasterPassword = nullptr;
    QLabel* lblMessagePassword = nullptr;
    QFrame* boxSubmit = nullptr;
    QLabel* lblSubmit = nullptr;
    QPushButton* btnSubmit = nullptr;
    QVBoxLayout* stackViewSubmitAndTextFields = nullptr;

public Q_SLOTS:
    // The submit button's action; Return in either field runs it too.
    void clickedSubmit();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildViews();
    void applyStyle();
    void submitEntry(const StoredPassword& stored);
    void submitSetUp();
    // Shakes the field and explains why in an alert.
    void refuseSetUp(QWidget* field, const QString& message);
    // The field at fault, if any, shakes again once the popover is back.
    void showAlertOverPopover(const QString& title, const QString& message,
                              QWidget* fieldAtFault = nullptr);

    bool m_applyingStyle = false;
    // Set while the popover comes back after an alert: the screen is shown again as it was.
    bool m_reopening = false;
};

} // namespace vantrel
