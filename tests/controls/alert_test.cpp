#include "controls/alert.h"
#include "controls/message_box_alerts.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace vantrel {
namespace {

TEST(ShowAlert, AsksForAWarningWithOneOkButtonAndReportsWhetherItWasPressed) {
    testing::PlatformDoubles doubles;
    EXPECT_TRUE(showAlert(QStringLiteral("Error!"), QStringLiteral("Wrong password.")));
    ASSERT_EQ(doubles.alerts.shown.size(), 1);
    const AlertRequest& shown = doubles.alerts.shown.first();
    EXPECT_EQ(shown.messageText, QStringLiteral("Error!"));
    EXPECT_EQ(shown.informativeText, QStringLiteral("Wrong password."));
    EXPECT_EQ(shown.style, AlertStyle::Warning);
    EXPECT_EQ(shown.buttonTitles, QStringList{QStringLiteral("OK")});

    doubles.alerts.nextAnswers.push_back(FirstButtonReturn + 1);
    EXPECT_FALSE(showAlert(QStringLiteral("Error!"), QString()));
}

TEST(ShowAlert, RunsARealMessageBoxThatReturnDismisses) {
    testing::PlatformDoubles doubles;
    MessageBoxAlerts messageBoxes;
    platform().alerts = &messageBoxes;

    QString headline;
    QString explanation;
    QStringList buttons;
    bool wasModal = false;
    messageBoxes.setNextAnswer([&](QMessageBox& box) {
        headline = box.text();
        explanation = box.informativeText();
        for (QAbstractButton* button : box.buttons())
            buttons.append(button->text());
        wasModal = box.isVisible() && QApplication::activeModalWidget() == &box;
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_TRUE(showAlert(QStringLiteral("Password Saved!"), QStringLiteral("Keep it safe.")));
    EXPECT_EQ(headline, QStringLiteral("Password Saved!"));
    EXPECT_EQ(explanation, QStringLiteral("Keep it safe."));
    EXPECT_EQ(buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(wasModal);
}

TEST(MessageBoxAlerts, AnswersWithTheIndexOfThePressedButton) {
    MessageBoxAlerts messageBoxes;
    AlertRequest request;
    request.messageText = QStringLiteral("Rate Vantrel?");
    request.buttonTitles = {QStringLiteral("Rate"), QStringLiteral("Later"),
                            QStringLiteral("Cancel")};

    messageBoxes.setNextAnswer([](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text() == QStringLiteral("Later"))
                button->click();
        }
    });
    EXPECT_EQ(messageBoxes.runModal(request), FirstButtonReturn + 1);

    messageBoxes.setNextAnswer([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(messageBoxes.runModal(request), FirstButtonReturn + 2);

    messageBoxes.setNextAnswer([](QMessageBox& box) {
        EXPECT_EQ(box.defaultButton()->text(), QStringLiteral("Rate"));
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(messageBoxes.runModal(request), FirstButtonReturn);
}

// An alert holds the keys of the window it answers for, never those of a window that comes up
// while it is open, as a lock does.
TEST(MessageBoxAlerts, HoldTheirOwnWindowButNotAWindowThatComesUpMeanwhile) {
    QLineEdit owner;
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
    QLineEdit comesUp;

    MessageBoxAlerts messageBoxes;
    messageBoxes.setNextAnswer([&](QMessageBox& box) {
        comesUp.show();
        comesUp.setFocus();
        QTest::keyClick(comesUp.windowHandle(), Qt::Key_A);
        QTest::keyClick(owner.windowHandle(), Qt::Key_B);
        box.defaultButton()->click();
    });
    AlertRequest request;
    request.messageText = QStringLiteral("Enjoying Vantrel?");
    EXPECT_EQ(messageBoxes.runModal(request), FirstButtonReturn);
    EXPECT_EQ(comesUp.text(), u"a");
    EXPECT_EQ(owner.text(), QString());
}

} // namespace
} // namespace vantrel
