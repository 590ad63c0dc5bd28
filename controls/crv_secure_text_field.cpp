#include "controls/crv_secure_text_field.h"

#include "controls/crv_password_button.h"

#include <algorithm>
#include <QEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace vantrel {
namespace {

// The eye button sits this far in from the field's trailing edge.
constexpr int eyeInset = 2;
// The text leaves this many heights of the field to the eye button.
constexpr double eyeRoomInHeights = 1.25;

} // namespace

CRVSecureTextField::CRVSecureTextField(QWidget* parent)
    : QLineEdit(parent) {
    resetForNewPlace();
}

CRVSecureTextField::~CRVSecureTextField() = default;

void CRVSecureTextField::setDisplayToggleButton(bool display) {
    m_displayToggleButton = display;
    configureCell();
    // The button follows at once, so that a field never shows an eye over text that runs
    // under it.
    configureVisibilityButton();
}

void CRVSecureTextField::setAllowShowPassword(bool allow) {
    m_allowShowPassword = allow;
    setPasswordIsVisible(false);
    configureVisibilityButton();
}

void CRVSecureTextField::setPasswordIsVisible(bool visible) {
    m_passwordIsVisible = visible;
    configureCell();
}

void CRVSecureTextField::visibilityChanged(bool buttonIsOn) {
    setPasswordIsVisible(buttonIsOn);
}

QRect CRVSecureTextField::textRect() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .marginsRemoved(textMargins());
}

bool CRVSecureTextField::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    switch (event->type()) {
    case QEvent::ParentChange:
        resetForNewPlace();
        break;
    case QEvent::LayoutDirectionChange:
    case QEvent::StyleChange:
        layoutEyeButton();
        layoutTextArea();
        break;
    default:
        break;
    }
    return handled;
}

void CRVSecureTextField::showEvent(QShowEvent* event) {
    QLineEdit::showEvent(event);
    // An ancestor moved into another window: no event reaches this field but the showing.
    if (window() != m_window)
        resetForNewPlace();
}

void CRVSecureTextField::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    layoutEyeButton();
    layoutTextArea();
}

void CRVSecureTextField::resetForNewPlace() {
    m_window = window();
    m_passwordIsVisible = false;
    configureVisibilityButton();
    configureCell();
}

void CRVSecureTextField::configureCell() {
    // Switching while the user types ends the editing; the text stays.
    if (hasFocus())
        clearFocus();
    const bool plain = m_passwordIsVisible && (m_allowShowPassword || !m_displayToggleButton);
    // The echo mode is the only difference between the presentations; QLineEdit keeps the text,
    // placeholder, font and frame across it.
    setEchoMode(plain ? QLineEdit::Normal : QLineEdit::Password);
    layoutTextArea();
    if (m_visibilityButton) {
        m_visibilityButton->setChecked(m_passwordIsVisible);
        m_visibilityButton->update();
    }
}

void CRVSecureTextField::configureVisibilityButton() {
    if (usesEyeButtonLayout()) {
        if (!m_visibilityButton) {
            m_visibilityButton = new CRVPasswordButton(this);
            connect(m_visibilityButton, &CRVPasswordButton::clicked, this,
                    &CRVSecureTextField::visibilityChanged);
            m_visibilityButton->show();
        }
        // A field in a new place starts over with the eye off.
        m_visibilityButton->setChecked(false);
        layoutEyeButton();
    } else if (m_visibilityButton) {
        // Deleted later: this may run from the button's own click.
        CRVPasswordButton* button = m_visibilityButton;
        m_visibilityButton = nullptr;
        button->hide();
        button->setParent(nullptr);
        button->deleteLater();
    }
    layoutTextArea();
}

void CRVSecureTextField::layoutEyeButton() {
    if (!m_visibilityButton)
        return;
    // A square as tall as the field, a little in from its trailing edge.
    const int side = height();
    const int x = isRightToLeft() ? eyeInset : width() - eyeInset - side;
    m_visibilityButton->setGeometry(x, 0, side, side);
}

void CRVSecureTextField::layoutTextArea() {
    QMargins margins = textMargins();
    int trailing = 0;
    if (usesEyeButtonLayout()) {
        QStyleOptionFrame option;
        initStyleOption(&option);
        const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
        const int room = qRound(eyeRoomInHeights * height());
        // The text stops 1.25 heights before the trailing edge of the whole field.
        trailing = isRightToLeft() ? room - contents.left()
                                   : contents.left() + contents.width() - (width() - room);
        trailing = std::max(trailing, 0);
    }
    if (isRightToLeft()) {
        margins.setLeft(trailing);
    } else {
        margins.setRight(trailing);
    }
    if (margins != textMargins())
        setTextMargins(margins);
}

} // namespace vantrel
