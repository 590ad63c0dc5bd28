#include "app/storyboard.h"
#include "controls/control_controllers.h"
#include "controls/tool_tip_popover.h"
#include "controls/tool_tip_view_controller.h"
#include "screens/add_app_view_controller.h"
#include "screens/app_list_view.h"
#include "screens/application_open_panel.h"
#include "store/catalogue.h"
#include "store/settings.h"
#include "tests/screens/list_screens_fixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace vantrel::testing {
namespace {

const QString firefox = QStringLiteral("org.mozilla.firefox");
const QString files = QStringLiteral("org.gnome.Nautilus");
const QString slack = QStringLiteral("com.slack.Slack");
const QString terminal = QStringLiteral("org.gnome.Terminal");
const QString nameless = QStringLiteral("org.example.Nameless");

class AddAppViewControllerTest : public ListScreensTest {
protected:
    void SetUp() override {
        install(firefox, QStringLiteral("Firefox"));
        install(files, QStringLiteral("Files"));
        install(slack, QStringLiteral("Slack"));
        install(terminal, QStringLiteral("Terminal"));
        install(nameless, QString()); // no CFBundleName
    }

    QStringList rows() const { return rowNames(screen, screen.tableViewApps()->count()); }
    QString counter() const { return screen.lblAppsSelected()->text(); }
    void search(const QString& text) { screen.searchFIeld()->setText(text); }

    AddAppViewController screen;
};

TEST_F(AddAppViewControllerTest, ShowsInstalledAppsWithNamesAndCountsTheLockedOnes) {
    saveSavedIds({slack});

    screen.viewWillAppear();

    EXPECT_FALSE(listSwitchIsOn(*screen.switchRunningApps()));
    // The application without a name is in the catalogue but never on this screen.
    EXPECT_EQ(installedApps().size(), 5);
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Files"),
                                   QStringLiteral("Slack"), QStringLiteral("Terminal")}));
    EXPECT_EQ(counter(), QStringLiteral("1 / 4\nApps Selected"));
}

TEST_F(AddAppViewControllerTest, SearchIsACaseBlindPrefixMatchOnTheName) {
    screen.viewWillAppear();

    search(QStringLiteral("F"));
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Files")}));
    search(QStringLiteral("fi"));
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Files")}));
    search(QStringLiteral("FIR"));
    EXPECT_EQ(rows(), QStringList{QStringLiteral("Firefox")});
    // Letters from the middle of a name, or its identifier, find nothing.
    search(QStringLiteral("fox"));
    EXPECT_TRUE(rows().isEmpty());
    search(QStringLiteral("org."));
    EXPECT_TRUE(rows().isEmpty());
    search(QStringLiteral(" "));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_EQ(counter(), QStringLiteral("0 / 0\nApps Selected"));
    search(QString());
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(AddAppViewControllerTest, CounterCountsOnlyTheVisibleRows) {
    saveSavedIds({firefox, slack, terminal});
    screen.viewWillAppear();
    EXPECT_EQ(counter(), QStringLiteral("3 / 4\nApps Selected"));

    search(QStringLiteral("f"));

    EXPECT_EQ(counter(), QStringLiteral("1 / 2\nApps Selected"));
}

TEST_F(AddAppViewControllerTest, SelectingStoresAtTheEndAndDeselectingRemovesEveryCopy) {
    saveSavedIds({files, terminal, files});
    screen.viewWillAppear();
    ASSERT_EQ(counter(), QStringLiteral("2 / 4\nApps Selected"));
    ListAppCell* slackCell = screen.cellForRow(2);

    QTest::mouseClick(cellButton(*slackCell), Qt::LeftButton);
    EXPECT_EQ(savedIdsList(), (QStringList{files, terminal, files, slack}));
    EXPECT_EQ(counter(), QStringLiteral("3 / 4\nApps Selected"));
    // The change shows in place: the table keeps its cells.
    EXPECT_EQ(screen.cellForRow(2), slackCell);
    EXPECT_TRUE(screen.filteredApps().at(2)->isSelected);

    screen.clickedAddRemoveRowWithSender(1); // Files, locked twice
    EXPECT_EQ(savedIdsList(), (QStringList{terminal, slack}));
    EXPECT_EQ(counter(), QStringLiteral("2 / 4\nApps Selected"));

    screen.clickedAddRemoveRowWithSender(3); // Terminal: off, then on again moves it to the end
    screen.clickedAddRemoveRowWithSender(3);
    EXPECT_EQ(savedIdsList(), (QStringList{slack, terminal}));
}

TEST_F(AddAppViewControllerTest, BothRowsOfAnAppFoundTwiceFollowASelection) {
    install(firefox, QStringLiteral("Firefox"), QStringLiteral("/more-apps"));
    screen.viewWillAppear();
    ASSERT_EQ(rows().last(), QStringLiteral("Firefox"));

    screen.clickedAddRemoveRowWithSender(0);

    EXPECT_EQ(savedIdsList(), QStringList{firefox});
    EXPECT_TRUE(screen.filteredApps().last()->isSelected);
    EXPECT_EQ(counter(), QStringLiteral("2 / 5\nApps Selected"));
    // Taking the second row off now takes the application off, not on twice.
    screen.clickedAddRemoveRowWithSender(4);
    EXPECT_TRUE(savedIdsList().isEmpty());
}

TEST_F(AddAppViewControllerTest, RowTagOutOfRangeAndRefusedWritesChangeNothing) {
    screen.viewWillAppear();
    const int writes = doubles.defaults.writeCount;
    screen.clickedAddRemoveRowWithSender(4);
    screen.clickedAddRemoveRowWithSender(-1);
    EXPECT_EQ(doubles.defaults.writeCount, writes);

    doubles.defaults.refusesWrites = true;
    screen.clickedAddRemoveRowWithSender(0);
    EXPECT_FALSE(screen.filteredApps().at(0)->isSelected);
    EXPECT_EQ(counter(), QStringLiteral("0 / 4\nApps Selected"));
}

TEST_F(AddAppViewControllerTest, RunningOnlySwitchStoresItsFlagAndKeepsTheSearch) {
    const QString outside =
        placeOutside(QStringLiteral("org.example.Fiddle"), QStringLiteral("Fiddle"));
    saveCustomAppPaths({outside});
    run(slack);
    run(firefox);
    run(QStringLiteral("unknown.process"));
    screen.resize(screen.sizeHint());
    screen.viewWillAppear();
    search(QStringLiteral("f"));
    ASSERT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Files"),
                                   QStringLiteral("Fiddle")}));

    QTest::mouseClick(screen.switchRunningApps(), Qt::LeftButton);

    EXPECT_EQ(doubles.defaults.value(keys::isShowRunningAppsOnly), QVariant(true));
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("Firefox"), QStringLiteral("Fiddle")}));
    search(QString());
    EXPECT_EQ(rows(), (QStringList{QStringLiteral("Slack"), QStringLiteral("Firefox"),
                                   QStringLiteral("Fiddle")}));

    // The next showing starts from the stored flag.
    AddAppViewController another;
    another.viewWillAppear();
    EXPECT_TRUE(listSwitchIsOn(*another.switchRunningApps()));
    EXPECT_EQ(another.filteredApps().size(), 3);
}

TEST_F(AddAppViewControllerTest, RefusedRunningOnlyWriteKeepsSwitchAndList) {
    run(slack);
    screen.viewWillAppear();
    doubles.defaults.refusesWrites = true;

    screen.clickedShowRunningAppsOnly(true);

    EXPECT_FALSE(listSwitchIsOn(*screen.switchRunningApps()));
    EXPECT_EQ(rows().size(), 4);
}

TEST_F(AddAppViewControllerTest, RefreshClearsTheSearchAndAsksTheCatalogueAgain) {
    screen.viewWillAppear();
    search(QStringLiteral("sl"));
    install(QStringLiteral("org.example.Notes"), QStringLiteral("Notes"));

    QTest::mouseClick(screen.btnRefresh(), Qt::LeftButton);

    EXPECT_TRUE(screen.searchFIeld()->text().isEmpty());
    EXPECT_EQ(rows().size(), 5);
    EXPECT_EQ(rows().last(), QStringLiteral("Notes"));
}

class AddByHandTest : public AddAppViewControllerTest {
protected:
    // Makes the open panel answer with these paths (nothing: cancelled) and note its start.
    void answerPanel(std::optional<QStringList> paths) {
        screen.setOpenPanel([this, paths](const QString& startFolder) {
            panelStart = startFolder;
            panelRuns += 1;
            popoverClosedBeforePanel = closeRequests.count() == 1;
            return paths;
        });
    }

    QSignalSpy closeRequests{&screen, &AddAppViewController::closePopoverRequested};
    QString panelStart;
    int panelRuns = 0;
    bool popoverClosedBeforePanel = false;
};

TEST_F(AddByHandTest, ChosenAppsAreLockedRememberedAndListed) {
    const QString fiddle =
        placeOutside(QStringLiteral("org.example.Fiddle"), QStringLiteral("Fiddle"));
    const QString ownPath = placeOutside(ownBundleIdentifier, QStringLiteral("Vantrel"));
    doubles.applicationBundles.addBundle(QStringLiteral("/opt/unknown.desktop"),
                                         QStringLiteral("org.example.Unknown"),
                                         QStringLiteral("U"));
    doubles.applicationBundles.addBundle(QStringLiteral("/opt/noid.desktop"), std::nullopt,
                                         QStringLiteral("N"));
    saveSavedIds({slack, terminal});
    screen.viewWillAppear();
    const QString slackPath = QStringLiteral("/apps/") + slack + QStringLiteral(".desktop");
    answerPanel(QStringList{fiddle, ownPath, QStringLiteral("/opt/unknown.desktop"),
                            QStringLiteral("/opt/noid.desktop"), QStringLiteral("/opt/readme.txt"),
                            slackPath});

    QTest::mouseClick(screen.btnAddNow(), Qt::LeftButton);

    EXPECT_TRUE(popoverClosedBeforePanel);
    EXPECT_EQ(panelStart, QStringLiteral("/apps"));
    // Slack was locked already and keeps its place; only its chosen path is new. An entry that
    // lies outside every application folder is taken all the same.
    EXPECT_EQ(savedIdsList(), (QStringList{slack, terminal, QStringLiteral("org.example.Fiddle"),
                                           QStringLiteral("org.example.Unknown")}));
    EXPECT_EQ(customAppPathsList(),
              (QStringList{fiddle, QStringLiteral("/opt/unknown.desktop"), slackPath}));
    EXPECT_EQ(rows().last(), QStringLiteral("Fiddle"));
    EXPECT_EQ(counter(), QStringLiteral("3 / 5\nApps Selected"));
    // What is no application is named in one alert; this program is left out without a word.
    ASSERT_EQ(doubles.alerts.shown.size(), 1);
    EXPECT_EQ(doubles.alerts.shown[0].messageText,
              QStringLiteral("2 of the chosen files are not applications"));
    EXPECT_TRUE(doubles.alerts.shown[0].informativeText.contains(QStringLiteral("“noid.desktop”")));
    EXPECT_TRUE(doubles.alerts.shown[0].informativeText.contains(QStringLiteral("“readme.txt”")));
    EXPECT_FALSE(doubles.alerts.shown[0].informativeText.contains(QStringLiteral("Vantrel")));

    // Adding the same again stores nothing new.
    QTest::mouseClick(screen.btnAddNow(), Qt::LeftButton);
    EXPECT_EQ(savedIdsList().size(), 4);
    EXPECT_EQ(customAppPathsList().size(), 3);
}

TEST_F(AddByHandTest, FileThatIsNoApplicationIsNamedAndNothingStored) {
    screen.viewWillAppear();
    answerPanel(QStringList{QStringLiteral("/home/u/Desktop/notes.txt")});
    const int writes = doubles.defaults.writeCount;

    screen.clickedAddNow();

    EXPECT_EQ(doubles.defaults.writeCount, writes);
    ASSERT_EQ(doubles.alerts.shown.size(), 1);
    EXPECT_EQ(doubles.alerts.shown[0].messageText,
              QStringLiteral("“notes.txt” is not an application"));
}

TEST(ApplicationOpenPanel, ShowsDesktopEntriesInAnyLetterCaseAndFolders) {
    QTemporaryDir root;
    for (const char* name : {"a.desktop", "b.DESKTOP", "c.DeskTop", "d.txt", "e.desktop.bak"}) {
        QFile file(root.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("folder")));
    QFileDialog panel(nullptr, QString(), root.path());
    panel.setOption(QFileDialog::DontUseNativeDialog);
    configureApplicationFilter(panel);
    auto* model = panel.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);

    const auto shown = [&] {
        QStringList names;
        const QModelIndex folder = model->index(root.path());
        for (int row = 0; row < model->rowCount(folder); ++row)
            names.append(model->index(row, 0, folder).data().toString());
        names.sort();
        return names;
    };
    const QStringList expected{QStringLiteral("a.desktop"), QStringLiteral("b.DESKTOP"),
                               QStringLiteral("c.DeskTop"), QStringLiteral("folder")};
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == expected; }, 5000))
        << shown().join(u' ').toStdString();
}

TEST_F(AddByHandTest, OwnBundleAloneStoresNothing) {
    const QString ownPath = placeOutside(ownBundleIdentifier, QStringLiteral("Vantrel"));
    screen.viewWillAppear();
    answerPanel(QStringList{ownPath});
    const int writes = doubles.defaults.writeCount;

    screen.clickedAddNow();

    EXPECT_EQ(panelRuns, 1);
    EXPECT_EQ(doubles.defaults.writeCount, writes);
}

TEST_F(AddByHandTest, CancelledPanelStoresNothingAndKeepsTheList) {
    screen.viewWillAppear();
    search(QStringLiteral("s"));
    answerPanel(std::nullopt);
    install(QStringLiteral("org.example.Sketch"), QStringLiteral("Sketch"));
    const int writes = doubles.defaults.writeCount;

    screen.clickedAddNow();

    EXPECT_EQ(panelRuns, 1);
    EXPECT_EQ(doubles.defaults.writeCount, writes);
    EXPECT_EQ(rows(), QStringList{QStringLiteral("Slack")});
}

TEST_F(AddByHandTest, PanelStartsInTheSystemFolderThatHoldsApplications) {
    const QString home = QDir::homePath() + QStringLiteral("/.local/share/applications");
    doubles.applicationBundles.folderOrder = {home, QStringLiteral("/usr/local/empty"),
                                              QStringLiteral("/apps")};
    doubles.applicationBundles.folders.insert(home, {QStringLiteral("x")});
    doubles.applicationBundles.folders.insert(QStringLiteral("/usr/local/empty"), {});
    answerPanel(std::nullopt);

    screen.clickedAddNow();

    EXPECT_EQ(panelStart, QStringLiteral("/apps"));
}

TEST_F(AddAppViewControllerTest, InfoButtonsShowTheirOwnHelpInTheSharedBubble) {
    registerControlControllers();
    auto* bubble =
        storyboard::sharedController<ToolTipViewController>(toolTipViewControllerIdentifier);
    ASSERT_NE(bubble, nullptr);
    screen.show(); // the bubble needs an anchor on screen

    QTest::mouseClick(screen.btnInfoRunningApps(), Qt::LeftButton);
    EXPECT_TRUE(bubble->popover()->isVisible());
    EXPECT_EQ(bubble->popover()->anchorView(), screen.btnInfoRunningApps());
    EXPECT_EQ(bubble->popover()->placement().edge, RectEdge::MaxX);
    EXPECT_EQ(bubble->lblMessage()->text(),
              QStringLiteral("List the apps that are currently running on this computer."));

    QTest::mouseClick(screen.btnInfoAddNow(), Qt::LeftButton);
    EXPECT_EQ(bubble->popover()->anchorView(), screen.btnInfoAddNow());
    EXPECT_EQ(bubble->lblMessage()->text(),
              QStringLiteral("Manually add your apps that are not listing in the AppList and "
                             "apply lock/unlock."));
    bubble->popover()->hide();
}

} // namespace
} // namespace vantrel::testing
