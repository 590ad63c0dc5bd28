#include "app/app_controllers.h"
#include "app/header_button.h"
#include "app/menu_popover.h"
#include "app/popover_window.h"
#include "app/storyboard.h"
#include "app/view_controller.h"
#include "screens/add_app_view_controller.h"
#include "screens/password_view_controller.h"
#include "screens/preferences_window_controller.h"
#include "screens/rating_prompt.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "tests/app/app_test_support.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QMenu>

namespace vantrel {
namespace {

using testing::PlatformDoubles;
using testing::RecordingUrlOpener;

class ViewControllerTest : public ::testing::Test {
protected:
    ViewControllerTest() { registerAppControllers(); }

    QList<QWidget*> screensInContainer() const {
        return root.containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    }

    struct MenuItem {
        QString title;
        bool separator;
        bool enabled;
    };
    QList<MenuItem> menuItems() {
        std::unique_ptr<QMenu> menu(root.makeMenu(nullptr));
        QList<MenuItem> items;
        for (QAction* action : menu->actions())
            items.append({action->text(), action->isSeparator(), action->isEnabled()});
        return items;
    }

    PlatformDoubles doubles;
    ViewController root;
};

TEST_F(ViewControllerTest, StartsOnThePasswordScreenWithBackAndAddHidden) {
    EXPECT_EQ(root.currentVC(), ViewControllers::password);
    EXPECT_TRUE(root.btnBack->isHidden());
    EXPECT_TRUE(root.btnAddApps->isHidden());
    EXPECT_FALSE(root.btnMenu->isHidden());
}

TEST_F(ViewControllerTest, EachScreenShowsItsSharedControllerAndItsButtons) {
    struct Expected {
        ViewControllers screen;
        QString identifier;
        bool backShown;
        bool addShown;
    };
    const QList<Expected> table = {
        {ViewControllers::home, QStringLiteral("HomeViewController"), false, true},
        {ViewControllers::addApp, QStringLiteral("AddAppViewController"), true, false},
        {ViewControllers::password, QStringLiteral("PasswordViewController"), false, false},
    };
    for (const Expected& expected : table) {
        root.showScreen(expected.screen);
        EXPECT_EQ(root.currentVC(), expected.screen);
        EXPECT_EQ(screensInContainer(), QList<QWidget*>{qobject_cast<QWidget*>(
                                            storyboard::sharedObject(expected.identifier))});
        EXPECT_EQ(!root.btnBack->isHidden(), expected.backShown)
            << expected.identifier.toStdString();
        EXPECT_EQ(!root.btnAddApps->isHidden(), expected.addShown)
            << expected.identifier.toStdString();
    }
}

TEST_F(ViewControllerTest, ShowingAScreenTwiceKeepsOneScreenInTheContainer) {
    root.showScreen(ViewControllers::home);
    root.showScreen(ViewControllers::home);
    EXPECT_EQ(screensInContainer().size(), 1);
    // The screen left is detached, not destroyed: it comes back as the same instance.
    auto* password = storyboard::sharedController<PasswordViewController>(
        QStringLiteral("PasswordViewController"));
    root.showScreen(ViewControllers::password);
    root.showScreen(ViewControllers::addApp);
    root.showScreen(ViewControllers::password);
    EXPECT_EQ(screensInContainer(), QList<QWidget*>{password});
}

TEST_F(ViewControllerTest, AddButtonLeadsToTheAddScreenAndBackReturnsHome) {
    root.showScreen(ViewControllers::home);
    root.btnAddApps->click();
    EXPECT_EQ(root.currentVC(), ViewControllers::addApp);
    root.btnBack->click();
    EXPECT_EQ(root.currentVC(), ViewControllers::home);
    EXPECT_TRUE(root.btnBack->isHidden());
    EXPECT_FALSE(root.btnAddApps->isHidden());
}

TEST_F(ViewControllerTest, SharedScreensOutliveARootThatIsDestroyed) {
    QWidget* home =
        qobject_cast<QWidget*>(storyboard::sharedObject(QStringLiteral("HomeViewController")));
    {
        ViewController other;
        other.showScreen(ViewControllers::home);
        EXPECT_EQ(home->parentWidget(), other.containerView);
    }
    EXPECT_EQ(home->parentWidget(), nullptr);
    root.showScreen(ViewControllers::home);
    EXPECT_EQ(screensInContainer(), QList<QWidget*>{home});
}

TEST_F(ViewControllerTest, MenuHasItsItemsInOrder) {
    const QList<MenuItem> items = menuItems();
    ASSERT_EQ(items.size(), 6);
    EXPECT_EQ(items[0].title, u"About Us");
    EXPECT_EQ(items[1].title, u"Rate Us on App Store");
    EXPECT_TRUE(items[2].separator);
    EXPECT_EQ(items[3].title, u"Preferences");
    EXPECT_TRUE(items[4].separator);
    EXPECT_EQ(items[5].title, u"Quit");
}

// A damaged stored password guards as a readable one does.
TEST_F(ViewControllerTest, PasswordScreenGuardingAStoredPasswordDisablesPreferencesAndQuit) {
    root.showScreen(ViewControllers::password);
    for (const bool damaged : {false, true}) {
        if (damaged)
            doubles.defaults.setValue(keys::applock, QByteArray("not a cipher text"));
        else
            writeMasterPassword(QStringLiteral("secret"));
        const QList<MenuItem> items = menuItems();
        EXPECT_TRUE(items[0].enabled);
        EXPECT_TRUE(items[1].enabled);
        EXPECT_FALSE(items[3].enabled) << damaged;
        EXPECT_FALSE(items[5].enabled) << damaged;
        EXPECT_FALSE(root.guardedItemsAllowed()) << damaged;
    }
}

TEST_F(ViewControllerTest, EveryItemIsEnabledWithoutAPasswordOrPastThePasswordScreen) {
    root.showScreen(ViewControllers::password);
    for (const MenuItem& item : menuItems())
        EXPECT_TRUE(item.separator || item.enabled) << item.title.toStdString();

    writeMasterPassword(QStringLiteral("secret"));
    for (const ViewControllers screen : {ViewControllers::home, ViewControllers::addApp}) {
        root.showScreen(screen);
        for (const MenuItem& item : menuItems())
            EXPECT_TRUE(item.separator || item.enabled) << item.title.toStdString();
    }
}

TEST_F(ViewControllerTest, GuardedItemsRunOnlyWhenAllowed) {
    int quits = 0;
    root.quitHandler = [&quits] { ++quits; };
    writeMasterPassword(QStringLiteral("secret"));
    root.showScreen(ViewControllers::password);
    {
        std::unique_ptr<QMenu> menu(root.makeMenu(nullptr));
        menu->actions().last()->trigger();
    }
    EXPECT_EQ(quits, 0);
    root.showScreen(ViewControllers::home);
    std::unique_ptr<QMenu> menu(root.makeMenu(nullptr));
    menu->actions().last()->trigger();
    EXPECT_EQ(quits, 1);
}

TEST_F(ViewControllerTest, RatingAndSupportOpenTheMakersPages) {
    RecordingUrlOpener browser;
    root.clickedRateUs();
    root.clickedHelpAndSupport();
    root.clickedGift();
    ASSERT_EQ(browser.opened.size(), 3);
    EXPECT_EQ(browser.opened[0], QUrl(QStringLiteral("appstream://com.corvane.vantrel")));
    EXPECT_EQ(browser.opened[1], QUrl(links::supportPage()));
    EXPECT_EQ(browser.opened[2], QUrl(links::otherProductsPage()));
    for (const QUrl& url : browser.opened.mid(1)) {
        EXPECT_EQ(url.scheme(), u"https");
        EXPECT_FALSE(url.host().isEmpty());
    }
    // The rating prompt opens the very same page.
    EXPECT_EQ(QUrl(storePageAddress()), browser.opened[0]);

    // A wired-up rating opener takes the place of the plain page.
    int ratings = 0;
    root.rateUsHandler = [&ratings] { ++ratings; };
    root.clickedRateUs();
    EXPECT_EQ(ratings, 1);
    EXPECT_EQ(browser.opened.size(), 3);
}

TEST(WebLinks, OnlyWebAddressesAreOpened) {
    RecordingUrlOpener browser;
    for (const QString& bad :
         {QStringLiteral("not a url"), QStringLiteral(""), QStringLiteral("https://"),
          QStringLiteral("ftp://corvane.com/x"), QStringLiteral("https://exa mple.com/"),
          QStringLiteral("javascript:alert(1)")})
        EXPECT_FALSE(openWebAddress(bad)) << bad.toStdString();
    EXPECT_TRUE(browser.opened.isEmpty());
    EXPECT_TRUE(openWebAddress(QStringLiteral("https://vantrel.corvane.com/support")));
    EXPECT_EQ(browser.opened.size(), 1);
}

TEST_F(ViewControllerTest, AScreenChangeLeavesTheFocusInTheScreenNotOnAHeaderButton) {
    root.show();
    root.showScreen(ViewControllers::home);
    root.btnAddApps->setFocus();
    root.showScreen(ViewControllers::addApp); // the focused add button goes

    auto* screen =
        qobject_cast<QWidget*>(storyboard::sharedObject(QStringLiteral("AddAppViewController")));
    ASSERT_NE(screen, nullptr);
    QWidget* focused = root.focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(focused == screen || screen->isAncestorOf(focused))
        << focused->objectName().toStdString();
    root.hide();
}

TEST_F(ViewControllerTest, PreferencesOpensTheOneSharedPreferencesWindow) {
    root.showScreen(ViewControllers::home);
    root.clickedPreferences();
    auto* controller = storyboard::sharedController<PreferencesWindowController>(
        preferencesWindowControllerIdentifier);
    ASSERT_NE(controller, nullptr);
    QWidget* window = controller->window();
    EXPECT_TRUE(window->isVisible());

    // Opening it again brings the same window forward rather than a second one.
    window->hide();
    root.clickedPreferences();
    EXPECT_EQ(storyboard::sharedController<PreferencesWindowController>(
                  preferencesWindowControllerIdentifier),
              controller);
    EXPECT_TRUE(window->isVisible());
    window->hide();
}

// The open panel of "add by hand" runs with the popover closed, so that it takes the first click;
// the window of a desktop without a tray stays.
TEST_F(ViewControllerTest, AddingByHandClosesThePopoverBeforeThePanelRuns) {
    auto* addApp =
        storyboard::sharedController<AddAppViewController>(QStringLiteral("AddAppViewController"));
    ASSERT_NE(addApp, nullptr);
    QList<bool> shownWhilePanelRan;
    addApp->setOpenPanel([&](const QString&) {
        shownWhilePanelRan.append(root.window()->isVisible());
        return std::nullopt;
    });

    {
        MenuPopover popover;
        popover.setContent(&root);
        root.showScreen(ViewControllers::addApp);
        popover.showRelativeTo(QRect(100, 0, 24, 24));
        ASSERT_TRUE(popover.isVisible());
        addApp->clickedAddNow();
        EXPECT_FALSE(popover.isVisible());
    }
    {
        PopoverWindow window;
        window.setContent(&root);
        root.showScreen(ViewControllers::addApp);
        window.show();
        addApp->clickedAddNow();
        EXPECT_TRUE(window.isVisible());
    }
    EXPECT_EQ(shownWhilePanelRan, (QList<bool>{false, true}));
}

} // namespace
} // namespace vantrel
