#include "lock/app_locker_view_controller.h"

#include "controls/shake.h"
#include "lock/app_locker_window.h"
#include "lock/close_shortcut.h"
#include "lock/lock_card_art.h"
#include "lock/lock_covers.h"
#include "lock/pending_lock_apps.h"
#include "platform/delayed_perform.h"
#include "platform/platform.h"
#include "store/master_password.h"

#include <chrono>
#include <QApplication>
#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// How long a hidden application gets to disappear before the lock window goes.
constexpr auto hideSettleDelay = 300ms;
constexpr int iconSide = 96;
constexpr int cardWidth = 380;
constexpr int cardMargin = 28;
constexpr int fieldHeight = 40;
constexpr int loginSide = 30;

AppLockerViewController* sharedInstance = nullptr;

const QString cardStyle = QStringLiteral(R"(
#lockCard {
    background: #262d3b;
    border: 1px solid rgba(255, 255, 255, 20);
    border-radius: 18px;
}
#lockTitle { color: #f3f5f9; font-size: 19px; font-weight: 600; }
#lockHint { color: #97a0b3; font-size: 12px; }
#lockPassword {
    background: #171c26;
    color: #f3f5f9;
    border: 1px solid #3b4558;
    border-radius: 10px;
    padding: 0 12px;
    font-size: 14px;
    selection-background-color: #3b82f6;
}
#lockPassword:focus { border: 1px solid #5b8def; }
#lockLogin {
    background: #3b82f6;
    border: none;
    border-radius: 15px;
}
#lockLogin:hover { background: #4f8ff7; }
#lockLogin:pressed { background: #2f6fd8; }
#lockClose {
    background: transparent;
    border: none;
    border-radius: 13px;
}
#lockClose:hover { background: rgba(255, 255, 255, 22); }
)");

} // namespace

AppLockerViewController::AppLockerViewController(QWidget* parent)
    : QWidget(parent)
    , m_imageViewLockApp(new QLabel)
    , m_lblTitleLockApp(new QLabel)
    , m_secureTextFieldMasterPassword(new QLineEdit)
    , m_btnClose(new QToolButton)
    , m_lblPressKeyMessage(new QLabel)
    , m_btnLogin(new QToolButton) {
    sharedInstance = this;
    setStyleSheet(cardStyle);

    auto* card = new QFrame;
    card->setObjectName(QStringLiteral("lockCard"));
    card->setFixedWidth(cardWidth);
    auto* shadow = new QGraphicsDropShadowEffect(card);
    shadow->setBlurRadius(48);
    shadow->setOffset(0, 12);
    shadow->setColor(QColor(0, 0, 0, 150));
    card->setGraphicsEffect(shadow);

    m_btnClose->setObjectName(QStringLiteral("lockClose"));
    m_btnClose->setIcon(closeGlyph(QColor(0x97, 0xa0, 0xb3)));
    m_btnClose->setFixedSize(26, 26);
    m_btnClose->setToolTip(QStringLiteral("Hide the application"));
    m_btnClose->setCursor(Qt::PointingHandCursor);

    m_imageViewLockApp->setObjectName(QStringLiteral("lockIcon"));
    m_imageViewLockApp->setFixedSize(iconSide, iconSide);
    m_imageViewLockApp->setAlignment(Qt::AlignCenter);

    m_lblTitleLockApp->setObjectName(QStringLiteral("lockTitle"));
    m_lblTitleLockApp->setAlignment(Qt::AlignCenter);
    m_lblTitleLockApp->setWordWrap(true);
    m_lblTitleLockApp->setTextFormat(Qt::PlainText);

    m_secureTextFieldMasterPassword->setObjectName(QStringLiteral("lockPassword"));
    m_secureTextFieldMasterPassword->setEchoMode(QLineEdit::Password);
    m_secureTextFieldMasterPassword->setPlaceholderText(QStringLiteral("Enter password"));
    m_secureTextFieldMasterPassword->setFixedHeight(fieldHeight);
    // Room for the login button, which sits inside the field's right end.
    m_secureTextFieldMasterPassword->setTextMargins(0, 0, loginSide, 0);
    m_secureTextFieldMasterPassword->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette fieldPalette = m_secureTextFieldMasterPassword->palette();
    fieldPalette.setColor(QPalette::PlaceholderText, QColor(0x6f, 0x79, 0x8d));
    m_secureTextFieldMasterPassword->setPalette(fieldPalette);

    m_btnLogin->setObjectName(QStringLiteral("lockLogin"));
    m_btnLogin->setIcon(arrowGlyph(Qt::white));
    m_btnLogin->setParent(m_secureTextFieldMasterPassword);
    m_btnLogin->setFixedSize(loginSide, loginSide);
    m_btnLogin->setToolTip(QStringLiteral("Unlock"));
    m_btnLogin->setCursor(Qt::PointingHandCursor);
    m_btnLogin->hide();

    m_lblPressKeyMessage->setObjectName(QStringLiteral("lockHint"));
    m_lblPressKeyMessage->setAlignment(Qt::AlignCenter);
    m_lblPressKeyMessage->setWordWrap(true);
    showPrompt(StoredPassword{}); // the stored password is read as the lock shows

    // Only the password field takes the keyboard.
    m_btnClose->setFocusPolicy(Qt::NoFocus);
    m_btnLogin->setFocusPolicy(Qt::NoFocus);

    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(m_btnClose);

    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(cardMargin, 12, 12, cardMargin);
    cardLayout->setSpacing(0);
    cardLayout->addLayout(closeRow);
    auto* body = new QVBoxLayout;
    body->setContentsMargins(0, 0, cardMargin - 12, 0);
    body->setSpacing(0);
    body->addWidget(m_imageViewLockApp, 0, Qt::AlignHCenter);
    body->addSpacing(20);
    body->addWidget(m_lblTitleLockApp);
    body->addSpacing(22);
    body->addWidget(m_secureTextFieldMasterPassword);
    body->addSpacing(14);
    body->addWidget(m_lblPressKeyMessage);
    cardLayout->addLayout(body);

    auto* centring = new QVBoxLayout(this);
    centring->setContentsMargins(24, 24, 24, 24);
    centring->addStretch();
    centring->addWidget(card, 0, Qt::AlignHCenter);
    centring->addStretch();

    connect(m_secureTextFieldMasterPassword, &QLineEdit::returnPressed, this,
            &AppLockerViewController::verifyPassword);
    connect(m_secureTextFieldMasterPassword, &QLineEdit::textChanged, this,
            &AppLockerViewController::controlTextDidChange);
    m_secureTextFieldMasterPassword->installEventFilter(this);
    connect(m_btnLogin, &QToolButton::clicked, this, &AppLockerViewController::clickedLogin);
    connect(m_btnClose, &QToolButton::clicked, this, &AppLockerViewController::clickedClose);

    refreshLockedAppInfo();
}

AppLockerViewController::~AppLockerViewController() {
    if (m_eventMonitorInstalled)
        qApp->removeEventFilter(this);
    if (sharedInstance == this)
        sharedInstance = nullptr;
}

AppLockerViewController* AppLockerViewController::shared() {
    return sharedInstance;
}

void AppLockerViewController::refreshLockedAppInfo() {
    std::optional<QString> name;
    QIcon icon;
    if (m_runningApp) {
        name = m_runningApp->localizedName();
        icon = m_runningApp->icon();
    }
    const QString shownName = name && !name->isEmpty() ? *name : QStringLiteral("App");
    m_imageViewLockApp->setPixmap(lockedAppIcon(icon, shownName, iconSide, devicePixelRatioF()));
    const QString suffix = QStringLiteral(" is locked");
    const int titleWidth = cardWidth - 2 * cardMargin;
    m_lblTitleLockApp->ensurePolished(); // the style sheet sets its font
    const QFontMetrics metrics(m_lblTitleLockApp->font());
    // A name of one line at most, so the title takes two lines at most.
    const QString fittedName = metrics.elidedText(shownName, Qt::ElideRight, titleWidth);
    m_lblTitleLockApp->setText(fittedName + suffix);
    // Wrapped labels do not grow by themselves inside the centred card.
    m_lblTitleLockApp->setMinimumHeight(m_lblTitleLockApp->heightForWidth(titleWidth));
}

void AppLockerViewController::showPrompt(const StoredPassword& stored) {
    const QString ask = stored.isDamaged()
                            ? damagedPasswordAdvice()
                            : QStringLiteral("Enter the master password and press Return.");
    m_lblPressKeyMessage->setText(ask + QStringLiteral("\nCtrl+Alt+Q hides the application."));
}

void AppLockerViewController::verifyPassword() {
    const QString typed = m_secureTextFieldMasterPassword->text();
    const StoredPassword stored = readStoredPassword();
    // The password may have been damaged or mended since the lock showed.
    showPrompt(stored);
    if (stored.accepts(typed)) {
        dismissLock(false);
    } else {
        shake(m_secureTextFieldMasterPassword, 3.0f, 0.3, 10.0f);
    }
}

void AppLockerViewController::dismissLock(bool hide) {
    if (hide) {
        if (m_runningApp)
            m_runningApp->hide();
        if (platform().delayedPerform != nullptr)
            platform().delayedPerform->perform(hideSettleDelay, this,
                                               [this] { closeAppAfterLockAppHide(); });
    } else {
        removePendingLock(m_runningApp);
        closeWindow();
        // The lock had the keyboard; the application gets it back, which some window managers
        // would not give it, still counting it the active one.
        if (m_runningApp)
            m_runningApp->activate();
    }
    pruneTerminatedPendingLocks();
    // The other pending applications' windows stay covered; the unlocked one's are let go.
    refreshLockCovers();
}

void AppLockerViewController::closeAppAfterLockAppHide() {
    if (!m_runningApp)
        return;
    // A hide that has not taken effect leaves the lock up; the user may try again.
    if (m_runningApp->isHidden() || m_runningApp->isTerminated()) {
        closeWindow();
        refreshLockCovers();
    }
}

void AppLockerViewController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_secureTextFieldMasterPassword->clear();
    m_secureTextFieldMasterPassword->setFocus(Qt::OtherFocusReason);
    showPrompt(readStoredPassword());
    if (!m_eventMonitorInstalled) {
        qApp->installEventFilter(this);
        m_eventMonitorInstalled = true;
    }
}

void AppLockerViewController::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_eventMonitorInstalled) {
        qApp->removeEventFilter(this);
        m_eventMonitorInstalled = false;
    }
}

bool AppLockerViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_secureTextFieldMasterPassword && event->type() == QEvent::Resize) {
        const int inset = (fieldHeight - loginSide) / 2;
        m_btnLogin->move(m_secureTextFieldMasterPassword->width() - loginSide - inset, inset);
    }
    if (event->type() == QEvent::KeyPress && isCloseShortcut(*static_cast<QKeyEvent*>(event))) {
        dismissLock(true);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void AppLockerViewController::controlTextDidChange(const QString& text) {
    m_btnLogin->setVisible(!text.isEmpty());
}

void AppLockerViewController::closeWindow() {
    if (auto* lockWindow = qobject_cast<AppLockerWindow*>(window())) {
        lockWindow->closeWindow();
    } else {
        window()->close();
    }
}

} // namespace vantrel
