#include "screens/general_preferences_vc.h"

#include "controls/alert.h"
#include "controls/crv_secure_text_field.h"
#include "controls/shake.h"
#include "launcher/launcher_identifiers.h"
#include "platform/login_items.h"
#include "platform/platform.h"
#include "screens/user_perceived_length.h"
#include "store/master_password.h"
#include "store/settings.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantrel {
namespace {

constexpr qsizetype minimumPasswordLength = 3;
constexpr int fieldHeight = 26;
constexpr int fieldWidth = 260;

const QString errorTitle = QStringLiteral("Error!");

// The feedback of a refused password: the field at fault shakes, then the modal alert says why.
void refuse(QWidget* field, const QString& message) {
    shake(field, 3.0f, 0.3, 10.0f);
    showAlert(errorTitle, message);
}

CRVSecureTextField* makePasswordField(const QString& placeholder) {
    auto* field = new CRVSecureTextField;
    field->setPlaceholderText(placeholder);
    field->setFixedSize(fieldWidth, fieldHeight);
    // A little air before the first character; the trailing margin belongs to the eye button.
    field->setTextMargins(3, 0, 0, 0);
    return field;
}

QFrame* makeCard() {
    auto* card = new QFrame;
    card->setObjectName(QStringLiteral("preferencesCard"));
    card->setFrameShape(QFrame::NoFrame);
    return card;
}

QFrame* makeRowSeparator() {
    auto* line = new QFrame;
    line->setObjectName(QStringLiteral("preferencesRowSeparator"));
    line->setFixedHeight(1);
    return line;
}

QString css(const QColor& color) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF(), 0, 'f', 3);
}

QColor withAlpha(QColor color, float alpha) {
    color.setAlphaF(alpha);
    return color;
}

} // namespace

GeneralPreferencesVC::GeneralPreferencesVC(QWidget* parent)
    : QWidget(parent) {
    buildViews();
    applyStyle();
    connect(btnLaunchAutomatically, &QCheckBox::clicked, this,
            &GeneralPreferencesVC::clickedLaunchAutomatically);
    connect(btnChangePassword, &QPushButton::clicked, this,
            &GeneralPreferencesVC::clickedChangePassword);
}

void GeneralPreferencesVC::buildViews() {
    lblStartupLaunch = new QLabel(QStringLiteral("Startup"));
    lblStartupLaunch->setObjectName(QStringLiteral("preferencesCaption"));
    btnLaunchAutomatically =
        new QCheckBox(QStringLiteral("Launch Vantrel automatically at log-in"));
    m_startupHint =
        new QLabel(QStringLiteral("Vantrel starts in the system tray and keeps your applications "
                                  "locked from the moment you log in."));
    m_startupHint->setObjectName(QStringLiteral("preferencesHint"));
    m_startupHint->setWordWrap(true);

    lblChangePassword = new QLabel(QStringLiteral("Master Password"));
    lblChangePassword->setObjectName(QStringLiteral("preferencesCaption"));
    lblOldPassword = new QLabel(QStringLiteral("Old password"));
    lblNewPassword = new QLabel(QStringLiteral("New password"));
    lblConfirmPassword = new QLabel(QStringLiteral("Confirm password"));
    txtFieldOldPassword = makePasswordField(QStringLiteral("Current master password"));
    txtFieldNewPassword = makePasswordField(QStringLiteral("At least 3 characters"));
    txtFieldConfirmPassword = makePasswordField(QStringLiteral("Type the new password again"));
    lblOldPassword->setBuddy(txtFieldOldPassword);
    lblNewPassword->setBuddy(txtFieldNewPassword);
    lblConfirmPassword->setBuddy(txtFieldConfirmPassword);
    btnChangePassword = new QPushButton(QStringLiteral("Change Password"));
    // Return in any of the fields presses it.
    btnChangePassword->setDefault(true);
    btnChangePassword->setMinimumSize(140, 28);

    auto* startupCard = makeCard();
    auto* startupLayout = new QVBoxLayout(startupCard);
    startupLayout->setContentsMargins(14, 12, 14, 12);
    startupLayout->setSpacing(4);
    startupLayout->addWidget(btnLaunchAutomatically);
    auto* hintRow = new QHBoxLayout;
    // The hint lines up with the checkbox's text, not with its box.
    hintRow->addSpacing(btnLaunchAutomatically->iconSize().width() + 8);
    hintRow->addWidget(m_startupHint);
    startupLayout->addLayout(hintRow);

    auto* passwordCard = makeCard();
    auto* passwordLayout = new QGridLayout(passwordCard);
    passwordLayout->setContentsMargins(14, 6, 10, 6);
    passwordLayout->setHorizontalSpacing(16);
    passwordLayout->setVerticalSpacing(6);
    const QList<QPair<QLabel*, CRVSecureTextField*>> rows = {
        {lblOldPassword, txtFieldOldPassword},
        {lblNewPassword, txtFieldNewPassword},
        {lblConfirmPassword, txtFieldConfirmPassword}};
    int row = 0;
    for (qsizetype index = 0; index < rows.size(); ++index) {
        if (index > 0) {
            auto* separator = makeRowSeparator();
            m_rowSeparators.append(separator);
            passwordLayout->addWidget(separator, row++, 0, 1, 2);
        }
        passwordLayout->addWidget(rows.at(index).first, row, 0, Qt::AlignVCenter);
        passwordLayout->addWidget(rows.at(index).second, row, 1, Qt::AlignRight);
        ++row;
    }
    passwordLayout->setColumnStretch(0, 1);
    m_cards = {startupCard, passwordCard};

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(btnChangePassword);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 20);
    layout->setSpacing(0);
    layout->addWidget(lblStartupLaunch);
    layout->addSpacing(6);
    layout->addWidget(startupCard);
    layout->addSpacing(20);
    layout->addWidget(lblChangePassword);
    layout->addSpacing(6);
    layout->addWidget(passwordCard);
    layout->addSpacing(12);
    layout->addLayout(buttonRow);
    layout->addStretch(1);

    setTabOrder(btnLaunchAutomatically, txtFieldOldPassword);
    setTabOrder(txtFieldOldPassword, txtFieldNewPassword);
    setTabOrder(txtFieldNewPassword, txtFieldConfirmPassword);
    setTabOrder(txtFieldConfirmPassword, btnChangePassword);
}

void GeneralPreferencesVC::applyStyle() {
    // Setting a style sheet changes the palette events this reacts to; do not recurse.
    if (m_applyingStyle)
        return;
    m_applyingStyle = true;
    const QPalette colors = palette();
    const bool dark = colors.color(QPalette::Window).lightness() < 128;
    const QColor text = colors.color(QPalette::WindowText);
    const QColor card =
        dark ? colors.color(QPalette::Window).lighter(125) : colors.color(QPalette::Base);
    const QColor border = withAlpha(text, dark ? 0.16f : 0.12f);
    const QColor separator = withAlpha(text, dark ? 0.12f : 0.08f);
    for (QFrame* frame : std::as_const(m_cards)) {
        frame->setStyleSheet(
            QStringLiteral("QFrame#preferencesCard { background: %1; border: 1px solid %2; "
                           "border-radius: 8px; }")
                .arg(css(card), css(border)));
    }
    for (QFrame* line : std::as_const(m_rowSeparators))
        line->setStyleSheet(QStringLiteral("background: %1; border: none;").arg(css(separator)));

    QFont captionFont = font();
    captionFont.setWeight(QFont::DemiBold);
    lblStartupLaunch->setFont(captionFont);
    lblChangePassword->setFont(captionFont);
    QFont hintFont = font();
    hintFont.setPointSizeF(font().pointSizeF() * 0.9);
    m_startupHint->setFont(hintFont);
    QPalette hintColors = m_startupHint->palette();
    hintColors.setColor(QPalette::WindowText, withAlpha(text, 0.6f));
    m_startupHint->setPalette(hintColors);
    m_applyingStyle = false;
}

void GeneralPreferencesVC::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    viewWillAppear();
}

void GeneralPreferencesVC::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
}

void GeneralPreferencesVC::viewWillAppear() {
    btnLaunchAutomatically->setChecked(readFlag(keys::isLaunchAutomaticallyAtMacStartup));
    // A password shown in the clear stays so only while the tab stays in view.
    for (CRVSecureTextField* field :
         {txtFieldOldPassword, txtFieldNewPassword, txtFieldConfirmPassword}) {
        // Only when shown: switching takes the focus from the field.
        if (field->passwordIsVisible())
            field->setPasswordIsVisible(false);
    }
}

void GeneralPreferencesVC::clickedLaunchAutomatically() {
    // Only a full check counts as on.
    const bool launchAtLogIn = btnLaunchAutomatically->checkState() == Qt::Checked;
    // A refused registration is not reported; the choice is stored all the same.
    if (LoginItems* loginItems = platform().loginItems)
        loginItems->setEnabled(login_launcher::launcherBundleIdentifier, launchAtLogIn);
    writeFlag(keys::isLaunchAutomaticallyAtMacStartup, launchAtLogIn);
}

void GeneralPreferencesVC::clickedChangePassword() {
    const StoredPassword stored = readStoredPassword();
    const QString oldPassword = txtFieldOldPassword->text();
    const QString newPassword = txtFieldNewPassword->text();
    // Nothing is trimmed: a password of blanks is a password.
    if (oldPassword.isEmpty()) {
        refuse(txtFieldOldPassword, QStringLiteral("Please enter your old master password."));
        return;
    }
    if (stored.isDamaged()) {
        refuse(txtFieldOldPassword, damagedPasswordAdvice());
        return;
    }
    if (!stored.accepts(oldPassword)) {
        refuse(txtFieldOldPassword, QStringLiteral("The old password is incorrect."));
        return;
    }
    if (userPerceivedLength(newPassword) < minimumPasswordLength) {
        refuse(txtFieldNewPassword,
               QStringLiteral("The password cannot be smaller than 3 characters."));
        return;
    }
    if (!passwordsMatch(newPassword, txtFieldConfirmPassword->text())) {
        refuse(txtFieldConfirmPassword, QStringLiteral("The password do not match."));
        return;
    }
    if (!writeMasterPassword(newPassword)) {
        // The fields keep what was typed, so the user can try again once the cause is mended.
        showAlert(tr("Password Not Saved"),
                  tr("The password could not be saved. Check that your settings file can be "
                     "written, then try again."));
        return;
    }
    showAlert(QStringLiteral("Password Saved!"),
              QStringLiteral("The password has been saved successfully."));
    txtFieldOldPassword->setText(QString());
    txtFieldNewPassword->setText(QString());
    txtFieldConfirmPassword->setText(QString());
}

} // namespace vantrel
