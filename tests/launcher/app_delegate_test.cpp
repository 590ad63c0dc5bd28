#include "launcher/app_delegate.h"
#include "launcher/bundle_paths.h"
#include "launcher/launcher_identifiers.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>

namespace vantrel::login_launcher {
namespace {

using testing::makeFakeApplication;

const QString installedHelper =
    QStringLiteral("/opt/Corvane/Vantrel.app/Contents/Library/LoginItems/VantrelHelper.app");
const QString installedMain = QStringLiteral("/opt/Corvane/Vantrel.app/Contents/MacOS/Vantrel");

class AppDelegateTest : public ::testing::Test {
protected:
    void SetUp() override { makeDelegate(installedHelper); }

    void makeDelegate(const QString& bundlePath) {
        delegate = std::make_unique<AppDelegate>(bundlePath);
        QObject::connect(delegate.get(), &AppDelegate::terminateRequested, delegate.get(),
                         [this](int exitCode) { exitCodes.append(exitCode); });
    }

    void postQuit(const QString& object = mainBundleIdentifier) {
        doubles.notifications.post(quitNotificationName, object);
    }

    testing::PlatformDoubles doubles;
    std::unique_ptr<AppDelegate> delegate;
    QList<int> exitCodes;
};

TEST_F(AppDelegateTest, StartsVantrelOfItsOwnBundleAndQuitsWhenTold) {
    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(doubles.applicationLauncher.launched, QStringList{installedMain});
    EXPECT_TRUE(exitCodes.isEmpty());
    postQuit();
    EXPECT_EQ(exitCodes, QList<int>{0});
}

TEST_F(AppDelegateTest, ObservesBeforeItLaunches) {
    // A Vantrel that posts the moment it starts must still reach the launcher.
    doubles.applicationLauncher.onLaunch = [this](const QString&) { postQuit(); };

    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(doubles.applicationLauncher.launched.size(), 1);
    EXPECT_EQ(exitCodes, QList<int>{0});
}

TEST_F(AppDelegateTest, RunningVantrelEndsTheLauncherAtOnceWithoutASecondLaunch) {
    doubles.workspace.applications = {makeFakeApplication(std::nullopt, 10),
                                      makeFakeApplication(QStringLiteral("org.example.other"), 11),
                                      makeFakeApplication(mainBundleIdentifier, 12)};

    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(exitCodes, QList<int>{0});
    EXPECT_TRUE(doubles.applicationLauncher.launched.isEmpty());
    // Nothing is observed either: a later notification changes nothing.
    postQuit();
    EXPECT_EQ(exitCodes, QList<int>{0});
}

TEST_F(AppDelegateTest, OnlyTheExactIdentifierCountsAsVantrel) {
    doubles.workspace.applications = {
        makeFakeApplication(QStringLiteral("com.corvane.Vantrel"), 12),
        makeFakeApplication(QStringLiteral("com.corvane.vantrelhelper"), 13),
        makeFakeApplication(QStringLiteral("com.corvane.vantrel "), 14)};

    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(doubles.applicationLauncher.launched.size(), 1);
    EXPECT_TRUE(exitCodes.isEmpty());
}

TEST_F(AppDelegateTest, OtherNotificationsDoNotEndTheWait) {
    delegate->applicationDidFinishLaunching();

    postQuit(QStringLiteral("com.corvane.vantrelhelper"));
    postQuit(QString());
    doubles.notifications.post(QStringLiteral("killLauncher"), mainBundleIdentifier);
    EXPECT_TRUE(exitCodes.isEmpty());

    postQuit();
    EXPECT_EQ(exitCodes, QList<int>{0});
}

TEST_F(AppDelegateTest, FailedLaunchKeepsWaitingForAVantrelStartedOtherwise) {
    doubles.applicationLauncher.succeeds = false;

    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(doubles.applicationLauncher.launched.size(), 1);
    EXPECT_TRUE(exitCodes.isEmpty());
    postQuit();
    EXPECT_EQ(exitCodes, QList<int>{0});
}

TEST_F(AppDelegateTest, MisplacedLauncherStartsNothingAndEnds) {
    makeDelegate(QStringLiteral("/Apps/VantrelHelper.app"));

    delegate->applicationDidFinishLaunching();

    EXPECT_TRUE(doubles.applicationLauncher.launched.isEmpty());
    EXPECT_EQ(exitCodes, QList<int>{AppDelegate::misplacedExitCode});
}

TEST(MainExecutablePath, ThreeFoldersUpThenMacOS) {
    EXPECT_EQ(mainExecutablePath(installedHelper), installedMain);
    // Only the location counts, whatever the folders are called.
    EXPECT_EQ(mainExecutablePath(QStringLiteral("/home/ann/My Apps/a b/c/d/e")),
              QStringLiteral("/home/ann/My Apps/a b/MacOS/Vantrel"));
    EXPECT_EQ(mainExecutablePath(installedHelper + u'/'), installedMain);
    EXPECT_EQ(mainExecutablePath(QStringLiteral("/x/y/./z/../z/w")),
              QStringLiteral("/x/MacOS/Vantrel"));
    EXPECT_EQ(mainExecutablePath(QStringLiteral("/a/b/c")), QStringLiteral("/MacOS/Vantrel"));
}

TEST(MainExecutablePath, NothingWithFewerThanThreeFolders) {
    EXPECT_EQ(mainExecutablePath(QStringLiteral("/a/b")), std::nullopt);
    EXPECT_EQ(mainExecutablePath(QStringLiteral("/")), std::nullopt);
}

} // namespace
} // namespace vantrel::login_launcher
