#pragma once

#include "controls/crv_password_button.h"

#include <QLineEdit>
#include <QPointer>

namespace vantrel {

// A password field with an eye button at its trailing edge that shows the password in the clear
// and hides it again. It is a QLineEdit in every other respect (text, setText, placeholder, focus,
// returnPressed, textChanged), so it stands in for any password QLineEdit.
//
// Hidden and shown are the two presentations of the same field: switching keeps the text, the
// placeholder, the font and the frame. While the eye button is there, the text leaves the
// trailing 1.25 x height of the field to it (the field then owns its trailing text margin);
// without it the text takes the full width.
//
// Putting the field into another window or under another parent hides the password again and
// gives it an eye button in the off state, as if new.
class CRVSecureTextField : public QLineEdit {
    Q_OBJECT

public:
    explicit CRVSecureTextField(QWidget* parent = nullptr);
    ~CRVSecureTextField() override;

    // Whether the eye button is wanted at all; true at first.
    bool displayToggleButton() const { return m_displayToggleButton; }
    void setDisplayToggleButton(bool display);

    // Whether the user may show the password in the clear; true at first. Turning it off hides
    // the password.
    bool allowShowPassword() const { return m_allowShowPassword; }
    void setAllowShowPassword(bool allow);

    // Whether the text is shown in the clear now; false at first.
    bool passwordIsVisible() const { return m_passwordIsVisible; }
    void setPasswordIsVisible(bool visible);

    // The eye button while there is one (exactly when allowShowPassword and displayToggleButton
    // are both true); the field owns it.
    CRVPasswordButton* visibilityButton() const { return m_visibilityButton; }

    // Where the text is drawn and edited, in the field's coordinates.
    QRect textRect() const;

public Q_SLOTS:
    // The eye button's action: shows the password exactly when the button is on.
    void visibilityChanged(bool buttonIsOn);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What a new window or parent calls for: the password hidden and an eye button in the off
    // state.
    void resetForNewPlace();
    // Puts the presentation the three switches call for in place.
    void configureCell();
    // Makes or removes the eye button as the switches call for.
    void configureVisibilityButton();
    bool usesEyeButtonLayout() const { return m_displayToggleButton && m_allowShowPassword; }
    void layoutEyeButton();
    void layoutTextArea();

    bool m_displayToggleButton = true;
    bool m_allowShowPassword = true;
    bool m_passwordIsVisible = false;
    QPointer<CRVPasswordButton> m_visibilityButton;
    // The window the field was last set up in, to notice when it moves into another one.
    QPointer<QWidget> m_window;
};

} // namespace vantrel
