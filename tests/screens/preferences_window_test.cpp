#include "app/storyboard.h"
#include "controls/crv_secure_text_field.h"
#include "screens/general_preferences_vc.h"
#include "screens/preferences_controllers.h"
#include "screens/preferences_tab_view_controller.h"
#include "screens/preferences_window_controller.h"
#include "store/master_password.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <memory>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace vantrel {
namespace {

TEST(PreferencesWindow, HoldsOneTabNamedGeneralWithTheGeneralPreferences) {
    testing::PlatformDoubles doubles;
    PreferencesWindowController controller;
    PreferencesTabViewController* tabs = controller.contentViewController();
    tabs->setTabText(0, QStringLiteral("renamed"));

    controller.showWindow();

    EXPECT_TRUE(controller.window()->isAncestorOf(tabs));
    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(tabs->widget(0), tabs->generalPreferences());

    // Without tabs, appearing has nothing to name.
    tabs->removeTab(0);
    tabs->viewWillAppear();
    EXPECT_EQ(tabs->count(), 0);
}

TEST(PreferencesWindow, OpeningAgainBringsTheOneWindowForwardAsItWas) {
    testing::PlatformDoubles doubles;
    registerPreferencesControllers();
    std::unique_ptr<QObject> made(
        storyboard::instantiateController(preferencesWindowControllerIdentifier));
    EXPECT_NE(qobject_cast<PreferencesWindowController*>(made.get()), nullptr);

    auto* shared = storyboard::sharedController<PreferencesWindowController>(
        preferencesWindowControllerIdentifier);
    ASSERT_NE(shared, nullptr);
    showPreferences();
    QWidget* window = shared->window();
    ASSERT_TRUE(window->isVisible());
    GeneralPreferencesVC* general = shared->contentViewController()->generalPreferences();
    general->txtFieldOldPassword->setText(QStringLiteral("half typed"));
    window->close();

    showPreferences();

    EXPECT_EQ(storyboard::sharedController<PreferencesWindowController>(
                  preferencesWindowControllerIdentifier),
              shared);
    EXPECT_TRUE(window->isVisible());
    // The program comes forward with the window as its key window, each time.
    EXPECT_EQ(doubles.workspace.activationCount, 2);
    EXPECT_EQ(doubles.workspace.lastKeyWindow, window->windowHandle());
    // Showing again clears nothing.
    EXPECT_EQ(general->txtFieldOldPassword->text(), QStringLiteral("half typed"));
    window->hide();
}

// Return changes the password wherever the focus is in the form, also once the eye button has
// ended the editing in a field and no field has the focus.
TEST(PreferencesWindow, ReturnChangesThePasswordWhereverTheFocusIsInTheForm) {
    testing::PlatformDoubles doubles;
    PreferencesWindowController controller;
    controller.showWindow();
    QWidget* window = controller.window();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    GeneralPreferencesVC* general = controller.contentViewController()->generalPreferences();
    writeMasterPassword(QStringLiteral("secret"));

    QString current = QStringLiteral("secret");
    for (CRVSecureTextField* field : {general->txtFieldOldPassword, general->txtFieldNewPassword,
                                      general->txtFieldConfirmPassword}) {
        for (const bool eyeClicked : {false, true}) {
            const QString next = current + QStringLiteral("+");
            general->txtFieldOldPassword->setText(current);
            general->txtFieldNewPassword->setText(next);
            general->txtFieldConfirmPassword->setText(next);
            field->setFocus();
            if (eyeClicked) {
                QTest::mouseClick(field->visibilityButton(), Qt::LeftButton);
                ASSERT_FALSE(field->hasFocus());
            }
            QTest::keyClick(window->windowHandle(), Qt::Key_Return);
            EXPECT_EQ(readMasterPassword(), next) << eyeClicked;
            current = next;
        }
    }
}

} // namespace
} // namespace vantrel
