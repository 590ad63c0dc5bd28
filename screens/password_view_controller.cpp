#include "screens/password_view_controller.h"

#include "app/screen_navigator.h"
#include "controls/alert.h"
#include "controls/crv_secure_text_field.h"
#include "controls/shake.h"
#include "resources/popover_images.h"
#include "screens/popover_style.h"
#include "screens/return_submits.h"
#include "screens/user_perceived_length.h"
#include "store/master_password.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QVBoxLayout>

namespace vantrel {
namespace {

constexpr qsizetype minimumPasswordLength = 3;
constexpr int entrySpacing = 25;
constexpr int setUpSpacing = 10;

const char* const focusRingProperty = "focusRing";

// Every refusal on this screen shakes the field at fault alike.
void shakeField(QWidget* view) {
    shake(view, 3.0f, 0.3, 10.0f);
}

QLabel* makeLabel(const QString& text, const QFont& font, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

CRVSecureTextField* makePasswordField(const QString& placeholder, const QString& name,
                                      QWidget* parent) {
    auto* field = new CRVSecureTextField(parent);
    field->setObjectName(name);
    field->setPlaceholderText(placeholder);
    field->setFont(style::systemFont(13));
    field->setFixedHeight(30);
    field->setAttribute(Qt::WA_MacShowFocusRect, false);
    return field;
}

void setFocusRing(QLineEdit* field, bool shown) {
    field->setProperty(focusRingProperty, shown);
    // Property selectors of the style sheet are only looked at again on a new polish.
    field->style()->unpolish(field);
    field->style()->polish(field);
}

} // namespace

PasswordViewController::PasswordViewController(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("PasswordViewController"));
    buildViews();
    applyStyle();
}

void PasswordViewController::buildViews() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    boxParent = new QFrame(this);
    boxParent->setObjectName(QStringLiteral("boxParent"));
    outer->addWidget(boxParent);

    auto* column = new QVBoxLayout(boxParent);
    column->setContentsMargins(32, 8, 32, 24);
    column->setSpacing(0);

    imageView = new QLabel(boxParent);
    imageView->setAlignment(Qt::AlignCenter);
    imageView->setFixedSize(72, 72);

    stackView = new QWidget(boxParent);
    auto* labels = new QVBoxLayout(stackView);
    labels->setContentsMargins(0, 0, 0, 0);
    labels->setSpacing(2);
    lblWelcome = makeLabel(tr("Welcome to"), style::systemFont(13), stackView);
    lblWelcome->setObjectName(QStringLiteral("secondary"));
    lblVantrel = makeLabel(tr("Vantrel"), style::systemFont(26, QFont::DemiBold), stackView);
    lblKeepYour =
        makeLabel(tr("Keep your apps private and locked."), style::systemFont(12), stackView);
    lblKeepYour->setObjectName(QStringLiteral("secondary"));
    labels->addWidget(lblWelcome);
    labels->addWidget(lblVantrel);
    labels->addSpacing(2);
    labels->addWidget(lblKeepYour);

    lblMessagePassword = makeLabel(QString(), style::systemFont(13), boxParent);
    lblMessagePassword->setWordWrap(true);

    txtFieldMasterPassword = makePasswordField(tr("Master Password"),
                                               QStringLiteral("txtFieldMasterPassword"), boxParent);
    txtFieldConfirmMasterPassword = makePasswordField(
        tr("Confirm Master Password"), QStringLiteral("txtFieldConfirmMasterPassword"), boxParent);

    boxSubmit = new QFrame(boxParent);
    boxSubmit->setObjectName(QStringLiteral("boxSubmit"));
    auto* boxLayout = new QVBoxLayout(boxSubmit);
    boxLayout->setContentsMargins(0, 0, 0, 0);
    btnSubmit = new QPushButton(boxSubmit);
    btnSubmit->setObjectName(QStringLiteral("btnSubmit"));
    btnSubmit->setFixedHeight(32);
    btnSubmit->setFocusPolicy(Qt::NoFocus);
    btnSubmit->setCursor(Qt::PointingHandCursor);
    boxLayout->addWidget(btnSubmit);
    auto* captionLayout = new QHBoxLayout(btnSubmit);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    lblSubmit = new QLabel(tr("Continue"), btnSubmit);
    lblSubmit->setObjectName(QStringLiteral("lblSubmit"));
    lblSubmit->setFont(style::systemFont(13, QFont::DemiBold));
    lblSubmit->setAlignment(Qt::AlignCenter);
    lblSubmit->setAttribute(Qt::WA_TransparentForMouseEvents);
    captionLayout->addWidget(lblSubmit);

    auto* fields = new QWidget(boxParent);
    stackViewSubmitAndTextFields = new QVBoxLayout(fields);
    stackViewSubmitAndTextFields->setContentsMargins(0, 0, 0, 0);
    stackViewSubmitAndTextFields->addWidget(txtFieldMasterPassword);
    stackViewSubmitAndTextFields->addWidget(txtFieldConfirmMasterPassword);
    stackViewSubmitAndTextFields->addWidget(boxSubmit);

    column->addStretch(3);
    column->addWidget(imageView, 0, Qt::AlignHCenter);
    column->addSpacing(14);
    column->addWidget(stackView);
    column->addSpacing(26);
    column->addWidget(lblMessagePassword);
    column->addSpacing(12);
    column->addWidget(fields);
    column->addStretch(4);

    connect(btnSubmit, &QPushButton::clicked, this, &PasswordViewController::clickedSubmit);
    // Return submits from either field, as the button's key equivalent would, and from the
    // popover once the eye button has taken the focus from a field.
    connect(txtFieldMasterPassword, &QLineEdit::returnPressed, this,
            &PasswordViewController::clickedSubmit);
    connect(txtFieldConfirmMasterPassword, &QLineEdit::returnPressed, this,
            &PasswordViewController::clickedSubmit);
    submitOnReturn(this, [this] { clickedSubmit(); });
}

void PasswordViewController::applyStyle() {
    m_applyingStyle = true;
    const style::PopoverColors colors = style::popoverColors(palette());
    QColor ring = colors.accent;
    ring.setAlpha(180);
    setStyleSheet(
        QStringLiteral(
            "QFrame#boxParent, QFrame#boxSubmit { background: transparent; border: none; }"
            "QLabel { color: %1; background: transparent; }"
            "QLabel#secondary { color: %2; }"
            "QLineEdit { background: %3; color: %1; border: 1px solid %4;"
            "  border-radius: 7px; padding: 0 10px; selection-background-color: %5;"
            "  lineedit-password-character: 8226; }"
            "QLineEdit[focusRing=\"true\"]:focus { border: 2px solid %6; padding: 0 9px; }"
            "QPushButton#btnSubmit { background: %5; border: none; border-radius: 7px; }"
            "QPushButton#btnSubmit:pressed { background: %7; }"
            "QLabel#lblSubmit { color: %8; }")
            .arg(style::cssColor(colors.text), style::cssColor(colors.secondaryText),
                 style::cssColor(colors.fieldBackground), style::cssColor(colors.fieldBorder),
                 style::cssColor(colors.accent), style::cssColor(ring),
                 style::cssColor(colors.accentPressed), style::cssColor(colors.accentText)));
    for (QLineEdit* field : {txtFieldMasterPassword, txtFieldConfirmMasterPassword}) {
        QPalette fieldPalette = field->palette();
        fieldPalette.setColor(QPalette::PlaceholderText, colors.secondaryText);
        field->setPalette(fieldPalette);
    }
    const qreal ratio = devicePixelRatioF();
    imageView->setPixmap(popoverPixmap(QStringLiteral("vantrel_badge"), 72, ratio));
    m_applyingStyle = false;
}

void PasswordViewController::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_applyingStyle)
        applyStyle();
}

void PasswordViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_reopening)
        configureView();
}

void PasswordViewController::refuseSetUp(QWidget* field, const QString& message) {
    shakeField(field);
    showAlertOverPopover(tr("Error!"), message, field);
}

void PasswordViewController::showAlertOverPopover(const QString& title, const QString& message,
                                                  QWidget* fieldAtFault) {
    // A modal window closes every popup as it opens, so the popover is brought back once the
    // alert is dismissed, with the typed texts and the focus as they were.
    QWidget* popover = window();
    const bool wasOpen =
        popover != this && popover->windowType() == Qt::Popup && popover->isVisible();
    const QPointer<QWidget> focused = popover->focusWidget();
    showAlert(title, message);
    if (!wasOpen || popover->isVisible())
        return;
    const QScopedValueRollback<bool> reopening(m_reopening, true);
    popover->show();
    popover->raise();
    popover->activateWindow();
    if (focused)
        focused->setFocus(Qt::OtherFocusReason);
    // The shake ran while the popover was away: once more, where it can be seen.
    if (fieldAtFault)
        shakeField(fieldAtFault);
}

void PasswordViewController::configureView() {
    const StoredPassword stored = readStoredPassword();
    txtFieldMasterPassword->clear();
    txtFieldConfirmMasterPassword->clear();
    // A password shown in the clear last time is not shown to whoever opens the popover next.
    txtFieldMasterPassword->setPasswordIsVisible(false);
    txtFieldConfirmMasterPassword->setPasswordIsVisible(false);
    txtFieldMasterPassword->setFocus(Qt::OtherFocusReason);

    const bool entryMode = stored.isSet();
    txtFieldConfirmMasterPassword->setHidden(entryMode);
    if (stored.isDamaged())
        lblMessagePassword->setText(damagedPasswordAdvice());
    else
        lblMessagePassword->setText(entryMode ? tr("Enter your Master Password to access Vantrel")
                                              : tr("No Password Configured!"));
    lblMessagePassword->setFont(style::systemFont(entryMode ? 12 : 13));
    setFocusRing(txtFieldMasterPassword, !entryMode);
    setFocusRing(txtFieldConfirmMasterPassword, !entryMode);
    stackViewSubmitAndTextFields->setSpacing(entryMode ? entrySpacing : setUpSpacing);
}

void PasswordViewController::clickedSubmit() {
    const StoredPassword stored = readStoredPassword();
    if (txtFieldConfirmMasterPassword->isHidden())
        submitEntry(stored);
    else
        submitSetUp();
}

void PasswordViewController::submitEntry(const StoredPassword& stored) {
    const QString typed = txtFieldMasterPassword->text();
    // An empty text never opens the popover, not even when the stored password was removed
    // while this screen was up.
    if (!typed.isEmpty() && stored.accepts(typed)) {
        if (ScreenNavigator* root = popoverNavigator())
            root->showScreen(ViewControllers::home);
        return;
    }
    shakeField(txtFieldMasterPassword);
}

void PasswordViewController::submitSetUp() {
    const QString newPassword = txtFieldMasterPassword->text();
    if (userPerceivedLength(newPassword) < minimumPasswordLength) {
        refuseSetUp(txtFieldMasterPassword,
                    tr("The password cannot be smaller than 3 characters."));
        return;
    }
    if (!passwordsMatch(newPassword, txtFieldConfirmMasterPassword->text())) {
        refuseSetUp(txtFieldConfirmMasterPassword, tr("The password do not match."));
        return;
    }
    if (!writeMasterPassword(newPassword)) {
        // Still in set-up mode, the fields as typed, so the user can try again.
        showAlertOverPopover(tr("Password Not Saved"),
                             tr("The password could not be saved. Check that your settings file "
                                "can be written, then try again."));
        return;
    }
    showAlertOverPopover(tr("Password Saved!"), tr("The password has been saved successfully."));
    configureView();
}

} // namespace vantrel
