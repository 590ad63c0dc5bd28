#include "controls/crv_secure_text_field.h"
#include "controls/shake_animation.h"
#include "screens/general_preferences_vc.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>

namespace vantrel {
namespace {

bool isShaking(const QWidget* field) {
    return field->findChild<ShakeAnimation*>(ShakeAnimation::shakeAnimationName,
                                             Qt::FindDirectChildrenOnly) != nullptr;
}

// Answers every alert with its first button and notes which fields were shaking as it came up.
class ShakeWatchingAlerts final : public ModalAlerts {
public:
    int runModal(const AlertRequest& request) override {
        shown.append(request);
        if (watch)
            shakingAtAlert.append(watch());
        return FirstButtonReturn;
    }

    std::function<QList<bool>()> watch;
    QList<AlertRequest> shown;
    QList<QList<bool>> shakingAtAlert;
};

class GeneralPreferencesTest : public ::testing::Test {
protected:
    void type(const QString& oldPassword, const QString& newPassword, const QString& confirm) {
        vc.txtFieldOldPassword->setText(oldPassword);
        vc.txtFieldNewPassword->setText(newPassword);
        vc.txtFieldConfirmPassword->setText(confirm);
    }

    QList<bool> shaking() const {
        return {isShaking(vc.txtFieldOldPassword), isShaking(vc.txtFieldNewPassword),
                isShaking(vc.txtFieldConfirmPassword)};
    }

    testing::PlatformDoubles doubles;
    GeneralPreferencesVC vc;
};

TEST_F(GeneralPreferencesTest, FailedChecksComeInOrderEachShakingItsFieldBeforeItsAlert) {
    ShakeWatchingAlerts alerts;
    platform().alerts = &alerts;
    writeMasterPassword(QStringLiteral("secret"));

    struct Case {
        QString oldPassword, newPassword, confirm;
        QString message;
        QList<bool> shaken; // old, new, confirm
    };
    const Case cases[] = {
        // Every later field is wrong too: only the first failing check speaks.
        {QString(),
         QStringLiteral("x"),
         QStringLiteral("y"),
         QStringLiteral("Please enter your old master password."),
         {true, false, false}},
        {QStringLiteral("Secret"),
         QStringLiteral("x"),
         QStringLiteral("y"),
         QStringLiteral("The old password is incorrect."),
         {true, false, false}},
        // A short password typed the same twice is refused for its length, not compared.
        {QStringLiteral("secret"),
         QStringLiteral("ab"),
         QStringLiteral("ab"),
         QStringLiteral("The password cannot be smaller than 3 characters."),
         {false, true, false}},
        {QStringLiteral("secret"),
         QStringLiteral("abc"),
         QStringLiteral("abd"),
         QStringLiteral("The password do not match."),
         {false, false, true}},
    };
    for (const Case& each : cases) {
        GeneralPreferencesVC form;
        alerts.watch = [&form] {
            return QList<bool>{isShaking(form.txtFieldOldPassword),
                               isShaking(form.txtFieldNewPassword),
                               isShaking(form.txtFieldConfirmPassword)};
        };
        form.txtFieldOldPassword->setText(each.oldPassword);
        form.txtFieldNewPassword->setText(each.newPassword);
        form.txtFieldConfirmPassword->setText(each.confirm);
        alerts.shown.clear();
        alerts.shakingAtAlert.clear();

        form.clickedChangePassword();

        ASSERT_EQ(alerts.shown.size(), 1) << each.message.toStdString();
        EXPECT_EQ(alerts.shown.first().messageText, QStringLiteral("Error!"));
        EXPECT_EQ(alerts.shown.first().informativeText, each.message);
        EXPECT_EQ(alerts.shown.first().buttonTitles, QStringList{QStringLiteral("OK")});
        EXPECT_EQ(alerts.shakingAtAlert.first(), each.shaken) << each.message.toStdString();
        // Nothing is cleared or stored.
        EXPECT_EQ(form.txtFieldOldPassword->text(), each.oldPassword);
        EXPECT_EQ(form.txtFieldNewPassword->text(), each.newPassword);
        EXPECT_EQ(form.txtFieldConfirmPassword->text(), each.confirm);
        EXPECT_EQ(readMasterPassword(), QStringLiteral("secret"));
    }
}

TEST_F(GeneralPreferencesTest, WithNoPasswordStoredOnlyTheEmptyAndTheIncorrectAlertsCome) {
    type(QStringLiteral("anything"), QStringLiteral("abcd"), QStringLiteral("abcd"));
    vc.clickedChangePassword();
    type(QString(), QStringLiteral("abcd"), QStringLiteral("abcd"));
    vc.clickedChangePassword();

    ASSERT_EQ(doubles.alerts.shown.size(), 2);
    EXPECT_EQ(doubles.alerts.shown.at(0).informativeText,
              QStringLiteral("The old password is incorrect."));
    EXPECT_EQ(doubles.alerts.shown.at(1).informativeText,
              QStringLiteral("Please enter your old master password."));
    EXPECT_EQ(readMasterPassword(), QString());
}

TEST_F(GeneralPreferencesTest, ADamagedStoredPasswordTakesNoOldPasswordAndSaysWhy) {
    const QByteArray damaged("not a cipher text");
    doubles.defaults.setValue(keys::applock, damaged);
    for (const QString& oldPassword : {QStringLiteral("anything"), QStringLiteral("secret")}) {
        type(oldPassword, QStringLiteral("abcd"), QStringLiteral("abcd"));
        vc.clickedChangePassword();
        ASSERT_FALSE(doubles.alerts.shown.isEmpty());
        EXPECT_EQ(doubles.alerts.shown.last().informativeText, damagedPasswordAdvice());
        EXPECT_TRUE(isShaking(vc.txtFieldOldPassword));
    }
    EXPECT_EQ(doubles.alerts.shown.size(), 2);
    EXPECT_EQ(doubles.defaults.value(keys::applock), QVariant(damaged));
}

TEST_F(GeneralPreferencesTest, SuccessStoresTheNewPasswordAndThenEmptiesTheFields) {
    // Stored precomposed, typed with a combining accent: the same password.
    writeMasterPassword(QStringLiteral("caf\u00e9"));
    type(QStringLiteral("cafe\u0301"), QStringLiteral("n3w pass"), QStringLiteral("n3w pass"));
    QStringList textsAtAlert;
    ShakeWatchingAlerts alerts;
    alerts.watch = [this, &textsAtAlert] {
        textsAtAlert = {vc.txtFieldOldPassword->text(), vc.txtFieldNewPassword->text(),
                        vc.txtFieldConfirmPassword->text()};
        return shaking();
    };
    platform().alerts = &alerts;

    vc.clickedChangePassword();

    ASSERT_EQ(alerts.shown.size(), 1);
    EXPECT_EQ(alerts.shown.first().messageText, QStringLiteral("Password Saved!"));
    EXPECT_EQ(alerts.shown.first().informativeText,
              QStringLiteral("The password has been saved successfully."));
    EXPECT_EQ(alerts.shakingAtAlert.first(), (QList<bool>{false, false, false}));
    // The fields are emptied only once the alert is dismissed.
    EXPECT_EQ(textsAtAlert.at(0), QStringLiteral("cafe\u0301"));
    EXPECT_TRUE(vc.txtFieldOldPassword->text().isEmpty());
    EXPECT_TRUE(vc.txtFieldNewPassword->text().isEmpty());
    EXPECT_TRUE(vc.txtFieldConfirmPassword->text().isEmpty());
    EXPECT_EQ(readMasterPassword(), QStringLiteral("n3w pass"));
    EXPECT_FALSE(passwordsMatch(QStringLiteral("caf\u00e9"), readMasterPassword()));
}

TEST_F(GeneralPreferencesTest, ARefusedSaveIsNotReportedAsSavedAndKeepsTheFields) {
    writeMasterPassword(QStringLiteral("old pass"));
    doubles.defaults.refusesWrites = true;
    type(QStringLiteral("old pass"), QStringLiteral("n3w pass"), QStringLiteral("n3w pass"));

    vc.clickedChangePassword();

    ASSERT_EQ(doubles.alerts.shown.size(), 1);
    EXPECT_EQ(doubles.alerts.shown.first().messageText, QStringLiteral("Password Not Saved"));
    EXPECT_EQ(vc.txtFieldNewPassword->text(), QStringLiteral("n3w pass"));
    EXPECT_EQ(readMasterPassword(), QStringLiteral("old pass"));
}

TEST_F(GeneralPreferencesTest, LengthCountsCharactersAsTheUserSeesThem) {
    writeMasterPassword(QStringLiteral("old"));
    struct Case {
        QString password;
        bool accepted;
    };
    const Case cases[] = {
        // Three letters with combining accents: six code units, three characters.
        {QStringLiteral("e\u0301a\u0301o\u0301"), true},
        // Two family emoji: many code points, two characters.
        {QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"
                        "\U0001F468\u200D\U0001F469\u200D\U0001F467"),
         false},
        // Blanks are characters; nothing is trimmed.
        {QStringLiteral("   "), true},
        // The old password again is a valid new one.
        {QStringLiteral("old"), true},
    };
    for (const Case& each : cases) {
        doubles.alerts.shown.clear();
        type(readMasterPassword(), each.password, each.password);
        vc.clickedChangePassword();
        ASSERT_EQ(doubles.alerts.shown.size(), 1);
        EXPECT_EQ(doubles.alerts.shown.first().messageText == QStringLiteral("Password Saved!"),
                  each.accepted)
            << doubles.alerts.shown.first().informativeText.toStdString();
        if (each.accepted) {
            EXPECT_EQ(readMasterPassword(), each.password);
        }
    }
}

TEST_F(GeneralPreferencesTest, CheckboxShowsTheStoredSettingEachTimeTheTabAppears) {
    vc.show();
    EXPECT_FALSE(vc.btnLaunchAutomatically->isChecked());
    vc.hide();

    writeFlag(keys::isLaunchAutomaticallyAtMacStartup, true);
    vc.show();
    EXPECT_TRUE(vc.btnLaunchAutomatically->isChecked());
    vc.hide();

    // Not a boolean: off.
    doubles.defaults.setValue(keys::isLaunchAutomaticallyAtMacStartup, QStringLiteral("YES"));
    vc.show();
    EXPECT_FALSE(vc.btnLaunchAutomatically->isChecked());
    // Showing it changes nothing of its own.
    EXPECT_TRUE(doubles.loginItems.calls.isEmpty());
}

TEST_F(GeneralPreferencesTest, ClickingTheCheckboxRegistersTheLauncherAndStoresTheChoice) {
    vc.show();
    vc.btnLaunchAutomatically->click();

    ASSERT_EQ(doubles.loginItems.calls.size(), 1);
    EXPECT_EQ(doubles.loginItems.calls.at(0).bundleIdentifier,
              QStringLiteral("com.corvane.vantrelhelper"));
    EXPECT_TRUE(doubles.loginItems.calls.at(0).enabled);
    EXPECT_TRUE(readFlag(keys::isLaunchAutomaticallyAtMacStartup));

    // Twice leaves everything as it was.
    vc.btnLaunchAutomatically->click();
    ASSERT_EQ(doubles.loginItems.calls.size(), 2);
    EXPECT_FALSE(doubles.loginItems.calls.at(1).enabled);
    EXPECT_EQ(doubles.defaults.value(keys::isLaunchAutomaticallyAtMacStartup), QVariant(false));
}

TEST_F(GeneralPreferencesTest, RefusedRegistrationStillStoresTheChoiceWithoutAnAlert) {
    doubles.loginItems.succeeds = false;
    vc.show();
    vc.btnLaunchAutomatically->click();

    EXPECT_TRUE(readFlag(keys::isLaunchAutomaticallyAtMacStartup));
    EXPECT_TRUE(doubles.alerts.shown.isEmpty());
}

TEST_F(GeneralPreferencesTest, PasswordsShownInTheClearAreHiddenWhenTheTabAppearsAgain) {
    const QList<CRVSecureTextField*> fields = {vc.txtFieldOldPassword, vc.txtFieldNewPassword,
                                               vc.txtFieldConfirmPassword};
    vc.show();
    for (CRVSecureTextField* field : fields) {
        field->setText(QStringLiteral("typed"));
        QTest::mouseClick(field->visibilityButton(), Qt::LeftButton);
        ASSERT_EQ(field->echoMode(), QLineEdit::Normal);
    }
    vc.hide();
    vc.show();
    for (CRVSecureTextField* field : fields) {
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        EXPECT_FALSE(field->visibilityButton()->isChecked());
    }
}

} // namespace
} // namespace vantrel
