#include "app/screen_navigator.h"
#include "controls/crv_secure_text_field.h"
#include "screens/password_view_controller.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QAbstractAnimation>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace vantrel {
namespace {

using testing::PlatformDoubles;

// Stands in for the popover root and records where the screen sent it.
class RecordingNavigator final : public QObject, public ScreenNavigator {
    Q_OBJECT
    Q_INTERFACES(vantrel::ScreenNavigator)

public:
    void showScreen(ViewControllers screen) override { shown.append(screen); }

    QList<ViewControllers> shown;
};

RecordingNavigator& navigator() {
    static RecordingNavigator* const registered = [] {
        storyboard::registerController(popoverRootIdentifier(),
                                       [] { return new RecordingNavigator; });
        return qobject_cast<RecordingNavigator*>(storyboard::sharedObject(popoverRootIdentifier()));
    }();
    return *registered;
}

QAbstractAnimation* runningShake(QWidget* view) {
    auto* shake =
        view->findChild<QAbstractAnimation*>(QStringLiteral("shake"), Qt::FindDirectChildrenOnly);
    return shake && shake->state() == QAbstractAnimation::Running ? shake : nullptr;
}

// Answers every alert with its first button, noting which fields were shaking at that moment.
class ObservingAlerts final : public ModalAlerts {
public:
    struct Shown {
        AlertRequest request;
        bool masterShaking;
        bool confirmShaking;
    };

    int runModal(const AlertRequest& request) override {
        shown.append({request, runningShake(screen->txtFieldMasterPassword) != nullptr,
                      runningShake(screen->txtFieldConfirmMasterPassword) != nullptr});
        // As a real modal window does when it opens.
        if (closesPopups && QApplication::activePopupWidget())
            QApplication::activePopupWidget()->close();
        // The user takes longer to read the alert than a shake lasts.
        if (outlastsShakes) {
            for (QWidget* field :
                 {screen->txtFieldMasterPassword, screen->txtFieldConfirmMasterPassword}) {
                if (QAbstractAnimation* shake = runningShake(field))
                    shake->setCurrentTime(shake->duration());
            }
        }
        return FirstButtonReturn;
    }

    PasswordViewController* screen = nullptr;
    bool closesPopups = false;
    bool outlastsShakes = false;
    QList<Shown> shown;
};

class PasswordScreenTest : public ::testing::Test {
protected:
    PasswordScreenTest() {
        navigator().shown.clear();
        alerts.screen = &screen;
        platform().alerts = &alerts; // PlatformDoubles puts the previous service back
    }

    void showWith(const QString& stored) {
        if (!stored.isEmpty())
            writeMasterPassword(stored);
        screen.show();
    }

    void type(const QString& first, const QString& second = {}) {
        screen.txtFieldMasterPassword->setText(first);
        screen.txtFieldConfirmMasterPassword->setText(second);
    }

    bool inEntryMode() const { return screen.txtFieldConfirmMasterPassword->isHidden(); }

    PlatformDoubles doubles;
    ObservingAlerts alerts;
    PasswordViewController screen;
};

TEST_F(PasswordScreenTest, WithoutAStoredPasswordOffersSetUp) {
    showWith({});
    EXPECT_FALSE(inEntryMode());
    EXPECT_EQ(screen.lblMessagePassword->text(), u"No Password Configured!");
    EXPECT_EQ(screen.lblMessagePassword->font().pixelSize(), 13);
    EXPECT_EQ(screen.stackViewSubmitAndTextFields->spacing(), 10);
    EXPECT_TRUE(screen.txtFieldMasterPassword->property("focusRing").toBool());
    EXPECT_EQ(screen.txtFieldMasterPassword->echoMode(), QLineEdit::Password);
}

TEST_F(PasswordScreenTest, WithAStoredPasswordAsksForIt) {
    showWith(QStringLiteral("secret"));
    EXPECT_TRUE(inEntryMode());
    EXPECT_EQ(screen.lblMessagePassword->text(), u"Enter your Master Password to access Vantrel");
    EXPECT_EQ(screen.lblMessagePassword->font().pixelSize(), 12);
    EXPECT_EQ(screen.stackViewSubmitAndTextFields->spacing(), 25);
    EXPECT_FALSE(screen.txtFieldMasterPassword->property("focusRing").toBool());
}

TEST_F(PasswordScreenTest, RightPasswordLeadsHome) {
    showWith(QStringLiteral("secret"));
    type(QStringLiteral("secret"));
    screen.btnSubmit->click();
    EXPECT_EQ(navigator().shown, QList<ViewControllers>{ViewControllers::home});
    EXPECT_TRUE(alerts.shown.isEmpty());
}

TEST_F(PasswordScreenTest, WrongOrEmptyPasswordShakesTheFieldWithoutAlertAndKeepsTheText) {
    showWith(QStringLiteral("secret"));
    for (const QString& wrong : {QStringLiteral("Secret"), QString()}) {
        type(wrong);
        screen.btnSubmit->click();
        EXPECT_NE(runningShake(screen.txtFieldMasterPassword), nullptr);
        EXPECT_EQ(screen.txtFieldMasterPassword->text(), wrong);
    }
    EXPECT_TRUE(navigator().shown.isEmpty());
    EXPECT_TRUE(alerts.shown.isEmpty());
}

// Nothing matches a stored password that cannot be read back, and set-up is not offered over it.
TEST_F(PasswordScreenTest, ADamagedStoredPasswordIsAskedForAndSaysSoButNothingOpens) {
    const QByteArray damaged("not a cipher text");
    doubles.defaults.setValue(keys::applock, damaged);
    screen.show();
    EXPECT_TRUE(inEntryMode());
    EXPECT_EQ(screen.lblMessagePassword->text(), damagedPasswordAdvice());
    for (const QString& typed : {QString(), QStringLiteral("secret"), QStringLiteral("abc")}) {
        type(typed, typed);
        screen.btnSubmit->click();
        EXPECT_NE(runningShake(screen.txtFieldMasterPassword), nullptr) << typed.toStdString();
    }
    EXPECT_TRUE(navigator().shown.isEmpty());
    EXPECT_TRUE(alerts.shown.isEmpty());
    EXPECT_EQ(doubles.defaults.value(keys::applock), QVariant(damaged));
}

TEST_F(PasswordScreenTest, SetUpRefusesInTheOrderOfItsChecksAndThenSaves) {
    showWith({});
    const QPoint confirmOrigin = screen.txtFieldConfirmMasterPassword->pos();

    // Too short, even typed the same twice: the first field shakes before the length alert.
    type(QStringLiteral("ab"), QStringLiteral("ab"));
    screen.btnSubmit->click();
    // Two different texts of three characters: the confirmation shakes before its alert.
    type(QStringLiteral("abc"), QStringLiteral("abd"));
    screen.btnSubmit->click();
    EXPECT_EQ(screen.txtFieldMasterPassword->text(), u"abc");
    EXPECT_EQ(screen.txtFieldConfirmMasterPassword->text(), u"abd");
    EXPECT_TRUE(readMasterPassword().isEmpty());
    // The same three characters: saved, confirmed, and the screen turns to entry mode.
    type(QStringLiteral("abc"), QStringLiteral("abc"));
    screen.btnSubmit->click();

    ASSERT_EQ(alerts.shown.size(), 3);
    EXPECT_EQ(alerts.shown[0].request.messageText, u"Error!");
    EXPECT_EQ(alerts.shown[0].request.informativeText,
              u"The password cannot be smaller than 3 characters.");
    EXPECT_TRUE(alerts.shown[0].masterShaking);
    EXPECT_FALSE(alerts.shown[0].confirmShaking);
    EXPECT_EQ(alerts.shown[1].request.messageText, u"Error!");
    EXPECT_EQ(alerts.shown[1].request.informativeText, u"The password do not match.");
    EXPECT_TRUE(alerts.shown[1].confirmShaking);
    EXPECT_EQ(alerts.shown[2].request.messageText, u"Password Saved!");
    EXPECT_EQ(alerts.shown[2].request.informativeText,
              u"The password has been saved successfully.");
    EXPECT_EQ(alerts.shown[2].request.buttonTitles, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(alerts.shown[2].request.style, AlertStyle::Warning);

    EXPECT_EQ(readMasterPassword(), u"abc");
    EXPECT_TRUE(inEntryMode());
    EXPECT_TRUE(screen.txtFieldMasterPassword->text().isEmpty());
    EXPECT_TRUE(screen.txtFieldConfirmMasterPassword->text().isEmpty());
    EXPECT_EQ(screen.lblMessagePassword->text(), u"Enter your Master Password to access Vantrel");
    // Saving does not pass the screen: the new password is typed once more.
    EXPECT_TRUE(navigator().shown.isEmpty());

    // A shake ends where the field started.
    QAbstractAnimation* shake = runningShake(screen.txtFieldConfirmMasterPassword);
    ASSERT_NE(shake, nullptr);
    EXPECT_EQ(shake->duration(), 300);
    shake->setCurrentTime(10); // on the first swing
    EXPECT_NE(screen.txtFieldConfirmMasterPassword->pos(), confirmOrigin);
    shake->setCurrentTime(300);
    EXPECT_EQ(screen.txtFieldConfirmMasterPassword->pos(), confirmOrigin);
}

TEST_F(PasswordScreenTest, ASecondShakeReplacesTheFirstAndStillEndsAtTheStart) {
    showWith(QStringLiteral("secret"));
    const QPoint origin = screen.txtFieldMasterPassword->pos();
    type(QStringLiteral("x"));
    screen.btnSubmit->click();
    runningShake(screen.txtFieldMasterPassword)->setCurrentTime(10);
    EXPECT_NE(screen.txtFieldMasterPassword->pos(), origin);
    screen.btnSubmit->click();
    const auto shakes = screen.txtFieldMasterPassword->findChildren<QAbstractAnimation*>(
        QStringLiteral("shake"), Qt::FindDirectChildrenOnly);
    ASSERT_EQ(shakes.size(), 1);
    shakes.first()->setCurrentTime(300);
    EXPECT_EQ(screen.txtFieldMasterPassword->pos(), origin);
}

TEST_F(PasswordScreenTest, CountsCharactersAsTheUserSeesThem) {
    showWith({});
    // Three letters with combining marks, each of two code points.
    const QString marked = QString::fromUtf16(u"e\u0301a\u0308o\u0302");
    type(marked, marked);
    screen.btnSubmit->click();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].request.messageText, u"Password Saved!");

    // Two emoji sequences of many code units each are two characters: too short.
    writeMasterPassword(QString());
    screen.configureView();
    const QString family = QString::fromUtf16(u"\U0001F468\u200D\U0001F469\u200D\U0001F467");
    const QString thumb = QString::fromUtf16(u"\U0001F44D\U0001F3FD");
    type(family + thumb, family + thumb);
    screen.btnSubmit->click();
    ASSERT_EQ(alerts.shown.size(), 2);
    EXPECT_EQ(alerts.shown[1].request.informativeText,
              u"The password cannot be smaller than 3 characters.");
}

TEST_F(PasswordScreenTest, ARefusedSaveIsNotReportedAsSavedAndKeepsSetUp) {
    showWith({});
    doubles.defaults.refusesWrites = true;
    type(QStringLiteral("n3w pass"), QStringLiteral("n3w pass"));
    screen.btnSubmit->click();

    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].request.messageText, u"Password Not Saved");
    EXPECT_FALSE(inEntryMode());
    EXPECT_EQ(screen.txtFieldMasterPassword->text(), u"n3w pass");
    EXPECT_EQ(readMasterPassword(), QString());

    // Once the settings can be written again, the same texts go through.
    doubles.defaults.refusesWrites = false;
    screen.btnSubmit->click();
    ASSERT_EQ(alerts.shown.size(), 2);
    EXPECT_EQ(alerts.shown[1].request.messageText, u"Password Saved!");
    EXPECT_EQ(readMasterPassword(), u"n3w pass");
}

TEST_F(PasswordScreenTest, CanonicallyEquivalentTextsMatch) {
    const QString precomposed = QString::fromUtf16(u"caf\u00e9");
    const QString decomposed = QString::fromUtf16(u"cafe\u0301");
    showWith({});
    type(precomposed, decomposed);
    screen.btnSubmit->click();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown[0].request.messageText, u"Password Saved!");

    type(decomposed);
    screen.btnSubmit->click();
    EXPECT_EQ(navigator().shown, QList<ViewControllers>{ViewControllers::home});
}

TEST_F(PasswordScreenTest, ReturnSubmitsInBothModes) {
    showWith({});
    type(QStringLiteral("abc"), QStringLiteral("abc"));
    QTest::keyClick(screen.txtFieldConfirmMasterPassword, Qt::Key_Return);
    EXPECT_EQ(readMasterPassword(), u"abc");
    ASSERT_TRUE(inEntryMode());

    screen.txtFieldMasterPassword->setText(QStringLiteral("abc"));
    QTest::keyClick(screen.txtFieldMasterPassword, Qt::Key_Enter);
    EXPECT_EQ(navigator().shown, QList<ViewControllers>{ViewControllers::home});
}

TEST_F(PasswordScreenTest, ShowingAgainClearsTheFieldsAndRereadsTheStoredPassword) {
    showWith(QStringLiteral("secret"));
    type(QStringLiteral("wrong"));
    screen.btnSubmit->click();
    screen.hide();
    writeMasterPassword(QString()); // removed meanwhile, as the preferences window may
    screen.show();
    EXPECT_FALSE(inEntryMode());
    EXPECT_TRUE(screen.txtFieldMasterPassword->text().isEmpty());

    screen.hide();
    writeMasterPassword(QStringLiteral("other"));
    screen.show();
    EXPECT_TRUE(inEntryMode());
}

TEST_F(PasswordScreenTest, APopoverClosedByAnAlertComesBackAsItWas) {
    QWidget popover(nullptr, Qt::Popup);
    auto* inPopover = new PasswordViewController(&popover);
    (new QVBoxLayout(&popover))->addWidget(inPopover);
    alerts.screen = inPopover;
    alerts.closesPopups = true;
    popover.show();
    inPopover->txtFieldMasterPassword->setText(QStringLiteral("abc"));
    inPopover->txtFieldConfirmMasterPassword->setText(QStringLiteral("abd"));
    inPopover->btnSubmit->click();
    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_TRUE(popover.isVisible());
    EXPECT_EQ(inPopover->txtFieldMasterPassword->text(), u"abc");
    EXPECT_EQ(inPopover->txtFieldConfirmMasterPassword->text(), u"abd");

    // Saved: back in entry mode, fields empty.
    inPopover->txtFieldConfirmMasterPassword->setText(QStringLiteral("abc"));
    inPopover->btnSubmit->click();
    EXPECT_TRUE(popover.isVisible());
    EXPECT_TRUE(inPopover->txtFieldConfirmMasterPassword->isHidden());
    EXPECT_TRUE(inPopover->txtFieldMasterPassword->text().isEmpty());

    // Closed for any other reason, it stays closed and shows afresh next time.
    inPopover->txtFieldMasterPassword->setText(QStringLiteral("typed"));
    popover.close();
    popover.show();
    EXPECT_TRUE(inPopover->txtFieldMasterPassword->text().isEmpty());
}

TEST_F(PasswordScreenTest, ARefusalThatClosedThePopoverShakesItsFieldOnceThePopoverIsBack) {
    QWidget popover(nullptr, Qt::Popup);
    auto* inPopover = new PasswordViewController(&popover);
    (new QVBoxLayout(&popover))->addWidget(inPopover);
    alerts.screen = inPopover;
    alerts.closesPopups = true;
    alerts.outlastsShakes = true;
    popover.show();

    struct Case {
        QString first, second;
        QLineEdit* atFault;
    };
    const QList<Case> cases = {
        {QStringLiteral("ab"), QStringLiteral("ab"), inPopover->txtFieldMasterPassword},
        {QStringLiteral("abc"), QStringLiteral("abd"), inPopover->txtFieldConfirmMasterPassword},
    };
    for (const Case& refused : cases) {
        inPopover->txtFieldMasterPassword->setText(refused.first);
        inPopover->txtFieldConfirmMasterPassword->setText(refused.second);
        inPopover->btnSubmit->click();
        ASSERT_TRUE(popover.isVisible());
        QAbstractAnimation* shake = runningShake(refused.atFault);
        ASSERT_NE(shake, nullptr) << refused.atFault->objectName().toStdString();
        EXPECT_EQ(shake->currentTime(), 0);
    }
    EXPECT_EQ(alerts.shown.size(), cases.size());
}

TEST_F(PasswordScreenTest, APasswordShownInTheClearIsHiddenWhenTheScreenShowsAgain) {
    showWith({});
    for (CRVSecureTextField* field :
         {screen.txtFieldMasterPassword, screen.txtFieldConfirmMasterPassword}) {
        QTest::mouseClick(field->visibilityButton(), Qt::LeftButton);
        ASSERT_EQ(field->echoMode(), QLineEdit::Normal);
    }
    screen.hide();
    screen.show();
    for (CRVSecureTextField* field :
         {screen.txtFieldMasterPassword, screen.txtFieldConfirmMasterPassword}) {
        EXPECT_EQ(field->echoMode(), QLineEdit::Password) << field->objectName().toStdString();
        EXPECT_FALSE(field->visibilityButton()->isChecked());
    }
}

// Return submits once from a field, and also once the eye button has ended the editing and no
// field has the focus.
TEST_F(PasswordScreenTest, ReturnInThePopoverSubmitsOnceWhereverTheFocusIs) {
    QWidget popover(nullptr, Qt::Popup);
    auto* inPopover = new PasswordViewController(&popover);
    (new QVBoxLayout(&popover))->addWidget(inPopover);
    alerts.screen = inPopover;
    popover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popover));
    const auto pressOnEyeThenReturn = [&](CRVSecureTextField* field, Qt::Key key) {
        QTest::mouseClick(field->visibilityButton(), Qt::LeftButton);
        ASSERT_FALSE(field->hasFocus());
        QTest::keyClick(popover.windowHandle(), key);
    };

    inPopover->txtFieldMasterPassword->setText(QStringLiteral("abc"));
    inPopover->txtFieldConfirmMasterPassword->setText(QStringLiteral("abd"));
    inPopover->txtFieldConfirmMasterPassword->setFocus();
    QTest::keyClick(popover.windowHandle(), Qt::Key_Return);
    EXPECT_EQ(alerts.shown.size(), 1);

    inPopover->txtFieldConfirmMasterPassword->setText(QStringLiteral("abc"));
    pressOnEyeThenReturn(inPopover->txtFieldConfirmMasterPassword, Qt::Key_Return);
    EXPECT_EQ(readMasterPassword(), u"abc");
    ASSERT_TRUE(inPopover->txtFieldConfirmMasterPassword->isHidden());

    inPopover->txtFieldMasterPassword->setText(QStringLiteral("abc"));
    inPopover->txtFieldMasterPassword->setFocus();
    pressOnEyeThenReturn(inPopover->txtFieldMasterPassword, Qt::Key_Enter);
    EXPECT_EQ(navigator().shown, QList<ViewControllers>{ViewControllers::home});
}

TEST_F(PasswordScreenTest, TheFirstFieldTakesTheFocus) {
    showWith(QStringLiteral("secret"));
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    EXPECT_TRUE(screen.txtFieldMasterPassword->hasFocus());
}

} // namespace
} // namespace vantrel

#include "password_view_controller_test.moc"
