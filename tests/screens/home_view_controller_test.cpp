#include "app/storyboard.h"
#include "screens/app_list_view.h"
#include "screens/home_view_controller.h"
#include "screens/list_controllers.h"
#include "store/settings.h"
#include "tests/screens/list_screens_fixture.h"

#include <QAbstractButton>
#include <QFrame>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace vantrel::testing {
namespace {

const QString firefox = QStringLiteral("org.mozilla.firefox");
const QString slack = QStringLiteral("com.slack.Slack");
const QString terminal = QStringLiteral("org.gnome.Terminal");

class HomeViewControllerTest : public ListScreensTest {
protected:
    void SetUp() override {
        install(firefox, QStringLiteral("Firefox"));
        install(slack, QStringLiteral("Slack"));
        install(terminal, QStringLiteral("Terminal"));
    }

    bool showsEmptyState() const {
        return !home.boxAddFirstApp()->isHidden() && home.boxAllAddedApps()->isHidden();
    }
    bool showsRows() const {
        return home.boxAddFirstApp()->isHidden() && !home.boxAllAddedApps()->isHidden();
    }
    QStringList rows() const { return rowNames(home, home.tableViewAddedApps()->count()); }

    HomeViewController home;
};

TEST_F(HomeViewControllerTest, NothingStoredShowsEmptyStateAndDefaultSwitchesWithoutWriting) {
    home.viewWillAppear();

    EXPECT_TRUE(showsEmptyState());
    EXPECT_TRUE(listSwitchIsOn(*home.switchActive()));
    EXPECT_FALSE(listSwitchIsOn(*home.switchEnableFullscreen()));
    EXPECT_EQ(doubles.defaults.writeCount, 0);
}

TEST_F(HomeViewControllerTest, ShowingSetsSwitchesFromStoreAndSendsNoAction) {
    writeFlag(keys::isActivateVTR, false);
    writeFlag(keys::isEnableFullscreenLockMode, true);
    const int writes = doubles.defaults.writeCount;

    home.viewWillAppear();

    EXPECT_FALSE(listSwitchIsOn(*home.switchActive()));
    EXPECT_TRUE(listSwitchIsOn(*home.switchEnableFullscreen()));
    EXPECT_EQ(doubles.defaults.writeCount, writes);
}

TEST_F(HomeViewControllerTest, FullScreenModeShowsAlwaysOnWhereWindowPlacementIsUnknown) {
    doubles.workspace.knowsPlacement = false;
    home.viewWillAppear();
    EXPECT_TRUE(listSwitchIsOn(*home.switchEnableFullscreen()));
    EXPECT_FALSE(home.switchEnableFullscreen()->isEnabled());

    doubles.workspace.knowsPlacement = true;
    home.viewWillAppear();
    EXPECT_FALSE(listSwitchIsOn(*home.switchEnableFullscreen()));
    EXPECT_TRUE(home.switchEnableFullscreen()->isEnabled());
}

TEST_F(HomeViewControllerTest, RowsAreTheLockedAppsInCatalogueOrder) {
    // Locked in another order, and one the catalogue does not know.
    saveSavedIds({terminal, QStringLiteral("gone.app"), firefox});

    home.viewWillAppear();

    EXPECT_TRUE(showsRows());
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Terminal")}));
    ASSERT_EQ(home.allSelectedApps().size(), 2);
    EXPECT_EQ(home.allSelectedApps().at(1)->bundleID, terminal);
}

TEST_F(HomeViewControllerTest, ShowingAgainPicksUpAppsLockedElsewhere) {
    home.viewWillAppear();
    ASSERT_TRUE(showsEmptyState());

    saveSavedIds({slack});
    home.viewWillAppear();

    EXPECT_TRUE(showsRows());
    EXPECT_EQ(rows(), QStringList{QStringLiteral("Slack")});
}

TEST_F(HomeViewControllerTest, EachShowingRebuildsTheScreen) {
    home.show();
    ASSERT_TRUE(showsEmptyState());
    home.hide();
    saveSavedIds({terminal});
    writeFlag(keys::isActivateVTR, false);

    home.show();

    EXPECT_EQ(rows(), QStringList{QStringLiteral("Terminal")});
    EXPECT_FALSE(listSwitchIsOn(*home.switchActive()));
}

TEST_F(HomeViewControllerTest, RemoveButtonTakesTheAppOffTheStoredListAndTheRows) {
    saveSavedIds({slack, firefox, terminal});
    home.viewWillAppear();
    ASSERT_EQ(rows().size(), 3);

    // Row 1 is Slack (catalogue order: Firefox, Slack, Terminal).
    QTest::mouseClick(cellButton(*home.cellForRow(1)), Qt::LeftButton);

    EXPECT_EQ(savedIdsList(), (QStringList{firefox, terminal}));
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Terminal")}));
    // The buttons carry the new row indices: removing row 1 now removes Terminal.
    QTest::mouseClick(cellButton(*home.cellForRow(1)), Qt::LeftButton);
    EXPECT_EQ(savedIdsList(), QStringList{firefox});
}

TEST_F(HomeViewControllerTest, RemovingTheLastRowBringsBackTheEmptyState) {
    saveSavedIds({firefox});
    home.viewWillAppear();

    home.clickedRemoveRowWithSender(0);

    EXPECT_TRUE(savedIdsList().isEmpty());
    EXPECT_TRUE(showsEmptyState());
}

TEST_F(HomeViewControllerTest, AppFoundTwiceShowsTwoRowsThatGoTogether) {
    install(firefox, QStringLiteral("Firefox"), QStringLiteral("/more-apps"));
    saveSavedIds({firefox, slack, firefox});
    home.viewWillAppear();
    ASSERT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Slack"),
                                   QStringLiteral("Firefox")}));

    home.clickedRemoveRowWithSender(2);

    EXPECT_EQ(savedIdsList(), QStringList{slack});
    EXPECT_EQ(rows(), QStringList{QStringLiteral("Slack")});
}

TEST_F(HomeViewControllerTest, RemoveTagOutOfRangeChangesNothing) {
    saveSavedIds({firefox});
    home.viewWillAppear();
    const int writes = doubles.defaults.writeCount;

    home.clickedRemoveRowWithSender(1);
    home.clickedRemoveRowWithSender(-1);

    EXPECT_EQ(doubles.defaults.writeCount, writes);
    EXPECT_EQ(rows(), QStringList{QStringLiteral("Firefox")});
}

TEST_F(HomeViewControllerTest, RefusedRemovalKeepsTheRow) {
    saveSavedIds({firefox});
    home.viewWillAppear();
    doubles.defaults.refusesWrites = true;

    home.clickedRemoveRowWithSender(0);

    EXPECT_EQ(savedIdsList(), QStringList{firefox});
    EXPECT_EQ(rows(), QStringList{QStringLiteral("Firefox")});
}

TEST_F(HomeViewControllerTest, FlippingTheSwitchesStoresEachAtOnce) {
    home.resize(home.sizeHint());
    home.viewWillAppear();

    QTest::mouseClick(home.switchActive(), Qt::LeftButton);
    EXPECT_EQ(doubles.defaults.value(keys::isActivateVTR), QVariant(false));
    EXPECT_FALSE(doubles.defaults.value(keys::isEnableFullscreenLockMode).isValid());

    QTest::mouseClick(home.switchEnableFullscreen(), Qt::LeftButton);
    EXPECT_EQ(doubles.defaults.value(keys::isEnableFullscreenLockMode), QVariant(true));

    QTest::mouseClick(home.switchActive(), Qt::LeftButton);
    EXPECT_TRUE(isActivateEnabled());
}

TEST_F(HomeViewControllerTest, RefusedSwitchWriteShowsTheStoredValueAgain) {
    home.viewWillAppear();
    doubles.defaults.refusesWrites = true;

    QTest::mouseClick(home.switchEnableFullscreen(), Qt::LeftButton);

    EXPECT_FALSE(listSwitchIsOn(*home.switchEnableFullscreen()));
}

TEST_F(HomeViewControllerTest, AddButtonsAskForTheAddScreen) {
    QSignalSpy asked(&home, &HomeViewController::addRequested);
    home.viewWillAppear();

    QTest::mouseClick(home.btnAddFirstApp(), Qt::LeftButton);
    QTest::mouseClick(home.btnHeaderAdd(), Qt::LeftButton);

    EXPECT_EQ(asked.count(), 2);
}

TEST(ListControllersTest, RegistryMakesBothScreensByTheirClassNames) {
    registerListControllers();
    QObject* made = storyboard::instantiateController(QStringLiteral("HomeViewController"));
    EXPECT_NE(qobject_cast<HomeViewController*>(made), nullptr);
    delete made;
    made = storyboard::instantiateController(QStringLiteral("AddAppViewController"));
    EXPECT_NE(made, nullptr);
    EXPECT_STREQ(made ? made->metaObject()->className() : "", "vantrel::AddAppViewController");
    delete made;
}

} // namespace
} // namespace vantrel::testing
