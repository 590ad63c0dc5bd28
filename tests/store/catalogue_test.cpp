#include "platform/freedesktop/desktop_application_bundles.h"
#include "platform/freedesktop/xdg_application_paths.h"
#include "store/catalogue.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"
#include "tests/platform/xdg_environment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace vantrel;
using vantrel::testing::PlatformDoubles;

namespace {

QStringList ids(const QList<AppRef>& apps) {
    QStringList result;
    for (const AppRef& app : apps)
        result.append(app->bundleID);
    return result;
}

class Catalogue : public ::testing::Test {
protected:
    // An installed bundle the workspace knows, preferred at its own path.
    void install(const QString& folder, const QString& name, const QString& identifier) {
        const QString path = folder + u'/' + name;
        bundles().folders[folder].append(path);
        bundles().addBundle(path, identifier, name);
        if (!doubles.applicationPaths.paths.contains(identifier))
            doubles.applicationPaths.paths.insert(identifier, path);
        bundles().pathsByIdentifier.insert(identifier, path);
    }
    vantrel::testing::FakeApplicationBundles& bundles() { return doubles.applicationBundles; }

    PlatformDoubles doubles;
    const QString user = QStringLiteral("/home/u/apps");
    const QString system = QStringLiteral("/usr/apps");
};

} // namespace

TEST_F(Catalogue, InstalledAppsInFolderAndListingOrder) {
    bundles().folderOrder = {user, QStringLiteral("/missing"), system};
    install(user, QStringLiteral("b.app"), QStringLiteral("org.b"));
    install(system, QStringLiteral("a.app"), QStringLiteral("org.a"));
    install(system, QStringLiteral("b.app"), QStringLiteral("org.b"));
    install(system, QStringLiteral("self.app"), ownBundleIdentifier);
    // A sub-folder, a bundle without an identifier, one the workspace does not know.
    bundles().folders[system].append(system + QStringLiteral("/Utilities"));
    bundles().folders[QStringLiteral("/usr/apps/Utilities")] = {};
    bundles().folders[system].append(system + QStringLiteral("/noid.app"));
    bundles().addBundle(system + QStringLiteral("/noid.app"), std::nullopt);
    bundles().folders[system].append(system + QStringLiteral("/unknown.app"));
    bundles().addBundle(system + QStringLiteral("/unknown.app"), QStringLiteral("org.unknown"));
    saveSavedIds({QStringLiteral("org.b")});

    const QList<AppRef> apps = installedApps();
    ASSERT_EQ(ids(apps), (QStringList{QStringLiteral("org.b"), QStringLiteral("org.a"),
                                      QStringLiteral("org.b")}));
    // Both copies of org.b point at the workspace's preferred one and are selected.
    EXPECT_EQ(apps[0]->url, QUrl::fromLocalFile(user + QStringLiteral("/b.app")));
    EXPECT_EQ(apps[2]->url, apps[0]->url);
    EXPECT_EQ(apps[2]->bundle.path, system + QStringLiteral("/b.app"));
    EXPECT_TRUE(apps[0]->isSelected);
    EXPECT_TRUE(apps[2]->isSelected);
    EXPECT_FALSE(apps[1]->isSelected);
    EXPECT_EQ(apps[1]->displayName(), QStringLiteral("a.app"));
    for (const AppRef& app : apps)
        EXPECT_FALSE(app->isAlreadyRunning);

    // Every call makes new records.
    const QList<AppRef> again = installedApps();
    ASSERT_EQ(again.size(), 3);
    EXPECT_NE(again[0].get(), apps[0].get());
}

TEST_F(Catalogue, HandAddedAppsComeLastOnceAndArePruned) {
    bundles().folderOrder = {system};
    install(system, QStringLiteral("a.app"), QStringLiteral("org.a"));
    const QString handA = QStringLiteral("/opt/a.app"); // another copy of org.a
    const QString handX = QStringLiteral("/opt/x.app");
    const QString notABundle = QStringLiteral("/opt/readme");
    const QString deleted = QStringLiteral("/opt/deleted.app");
    const QString self = QStringLiteral("/opt/vantrel.app");
    bundles().addBundle(handA, QStringLiteral("org.a"));
    bundles().addBundle(handX, QStringLiteral("org.x"));
    bundles().addBundle(self, ownBundleIdentifier);
    bundles().existingFiles.append(notABundle);
    doubles.applicationPaths.paths.insert(QStringLiteral("org.x"), handX);
    doubles.applicationPaths.paths.insert(ownBundleIdentifier, self);
    saveCustomAppPaths({handA, deleted, notABundle, handX, self});
    saveSavedIds({QStringLiteral("org.x")});

    const QList<AppRef> installed = installedApps();
    EXPECT_EQ(ids(installed), (QStringList{QStringLiteral("org.a"), QStringLiteral("org.x")}));
    EXPECT_TRUE(installed[1]->isSelected);
    EXPECT_EQ(customAppPathsList(), (QStringList{handA, notABundle, handX, self}))
        << "only the path at which nothing exists goes";

    // Hand-added applications appear among the running ones whether they run or not.
    bundles().bundles.remove(handX);
    doubles.workspace.applications = {
        vantrel::testing::makeFakeApplication(QStringLiteral("org.a"), 1)};
    EXPECT_EQ(ids(runningApps()), QStringList{QStringLiteral("org.a")});
    EXPECT_EQ(customAppPathsList(), (QStringList{handA, notABundle, self}));
}

TEST_F(Catalogue, UnchangedHandAddedListIsNotRewritten) {
    doubles.defaults.setValue(keys::customAppPaths, QByteArray("written by someone else"));
    const int writes = doubles.defaults.writeCount;
    EXPECT_TRUE(installedApps().isEmpty());
    EXPECT_TRUE(runningApps().isEmpty());
    EXPECT_EQ(doubles.defaults.writeCount, writes);
    EXPECT_EQ(doubles.defaults.value(keys::customAppPaths),
              QVariant(QByteArray("written by someone else")));
}

TEST_F(Catalogue, RunningAppsInTheWorkspacesOrder) {
    install(system, QStringLiteral("a.app"), QStringLiteral("org.a"));
    install(system, QStringLiteral("b.app"), QStringLiteral("org.b"));
    install(system, QStringLiteral("self.app"), ownBundleIdentifier);
    bundles().pathsByIdentifier.insert(QStringLiteral("org.nopath"), system + QStringLiteral("/n"));
    bundles().addBundle(system + QStringLiteral("/n"), QStringLiteral("org.nopath"));
    using vantrel::testing::makeFakeApplication;
    doubles.workspace.applications = {
        makeFakeApplication(QStringLiteral("org.b"), 1),
        makeFakeApplication(std::nullopt, 2, QStringLiteral("a script")),
        makeFakeApplication(QStringLiteral("org.a"), 3),
        makeFakeApplication(ownBundleIdentifier, 4),
        makeFakeApplication(QStringLiteral("org.nobundle"), 5),
        makeFakeApplication(QStringLiteral("org.nopath"), 6),
        makeFakeApplication(QStringLiteral("org.b"), 7),
        nullptr,
    };
    saveSavedIds({QStringLiteral("org.a")});

    const QList<AppRef> apps = runningApps();
    EXPECT_EQ(ids(apps), (QStringList{QStringLiteral("org.b"), QStringLiteral("org.a"),
                                      QStringLiteral("org.b")}));
    EXPECT_TRUE(apps[1]->isSelected);
    EXPECT_FALSE(apps[0]->isSelected);
}

// The same through the real desktop entries of temporary XDG folders.
TEST(CatalogueOnDesktopEntries, ListsTheEntriesOfTheApplicationFolders) {
    QTemporaryDir root;
    vantrel::testing::ScopedEnvironment environment;
    environment.set("XDG_DATA_HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    environment.set("XDG_DATA_DIRS", QFile::encodeName(root.filePath(QStringLiteral("sys"))));
    environment.set("LANGUAGE", "en");
    environment.set("XDG_CURRENT_DESKTOP", "XFCE");
    const auto write = [&root](const QString& relative, const QByteArray& bytes) {
        const QString path = root.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    };
    const QByteArray app = "[Desktop Entry]\nType=Application\nName=";
    const QString mine = write(QStringLiteral("home/applications/editor.desktop"), app + "Mine\n");
    write(QStringLiteral("sys/applications/editor.desktop"), app + "System editor\n");
    write(QStringLiteral("sys/applications/calc.desktop"), app + "Calculator\n");
    write(QStringLiteral("sys/applications/helper.desktop"), app + "H\nNoDisplay=true\n");
    write(QStringLiteral("sys/applications/gone.desktop"), app + "Gone\n");
    write(QStringLiteral("home/applications/gone.desktop"), "[Desktop Entry]\nHidden=true\n");
    write(QStringLiteral("sys/applications/com.corvane.vantrel.desktop"), app + "Vantrel\n");
    write(QStringLiteral("sys/applications/kde/inner.desktop"), app + "Inner\n");
    // What the menus of this desktop leave out.
    write(QStringLiteral("sys/applications/gnome-panel.desktop"), app + "P\nOnlyShowIn=GNOME;\n");
    write(QStringLiteral("sys/applications/xfce-hidden.desktop"), app + "X\nNotShowIn=XFCE;\n");
    write(QStringLiteral("sys/applications/top.desktop"), app + "Top\nTerminal=true\n");
    write(QStringLiteral("sys/applications/absent.desktop"), app + "A\nTryExec=/no/such/bin\n");
    write(QStringLiteral("sys/applications/nameless.desktop"),
          "[Desktop Entry]\nType=Application\n");
    const QString byHand = write(QStringLiteral("Desktop/tool.desktop"), app + "Tool\n");

    PlatformDoubles doubles;
    DesktopApplicationBundles bundles(customAppPathsList);
    XdgApplicationPaths paths(customAppPathsList);
    platform().applicationBundles = &bundles;
    platform().applicationPaths = &paths;
    saveCustomAppPaths({byHand, root.filePath(QStringLiteral("opt/removed.desktop"))});
    saveSavedIds({QStringLiteral("helper"), QStringLiteral("calc"), QStringLiteral("tool")});

    const QList<AppRef> apps = installedApps();
    // The entry added by hand is listed from where it lies; a locked application the menus hide
    // comes last, so that it can still be seen and unlocked.
    ASSERT_EQ(ids(apps), (QStringList{QStringLiteral("editor"), QStringLiteral("calc"),
                                      QStringLiteral("editor"), QStringLiteral("tool"),
                                      QStringLiteral("helper")}));
    EXPECT_EQ(apps[3]->url, QUrl::fromLocalFile(byHand));
    EXPECT_TRUE(apps[3]->isSelected);
    EXPECT_EQ(apps[4]->displayName(), QStringLiteral("H"));
    EXPECT_TRUE(apps[4]->isSelected);
    EXPECT_FALSE(apps[4]->icon().isNull());
    EXPECT_EQ(apps[0]->displayName(), QStringLiteral("Mine"));
    EXPECT_EQ(apps[2]->displayName(), QStringLiteral("System editor"));
    EXPECT_EQ(apps[2]->url, QUrl::fromLocalFile(mine)) << "the preferred copy";
    EXPECT_TRUE(apps[1]->isSelected);
    EXPECT_FALSE(apps[1]->icon().isNull());
    EXPECT_EQ(customAppPathsList(), QStringList{byHand});
}
