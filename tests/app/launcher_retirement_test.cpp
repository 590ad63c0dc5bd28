#include "app/launcher_retirement.h"
#include "launcher/launcher_identifiers.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using testing::makeFakeApplication;

const std::optional<QString> ownIdentifier = QStringLiteral("com.corvane.vantrel");

class LauncherRetirementTest : public ::testing::Test {
protected:
    void launchAtLogIn(bool on) {
        doubles.defaults.setValue(keys::isLaunchAutomaticallyAtMacStartup, on);
    }
    void runningLaunchers(int count) {
        for (int i = 0; i < count; ++i)
            doubles.workspace.applications.append(
                makeFakeApplication(login_launcher::launcherBundleIdentifier, 100 + i));
    }

    testing::PlatformDoubles doubles;
};

TEST_F(LauncherRetirementTest, NoLauncherRunningPostsNothingButKeepsTheLoginItem) {
    launchAtLogIn(true);
    doubles.workspace.applications = {makeFakeApplication(QStringLiteral("org.gnome.Terminal"), 7)};

    retireRunningLauncher(ownIdentifier);

    EXPECT_TRUE(doubles.notifications.posted.isEmpty());
    ASSERT_EQ(doubles.loginItems.calls.size(), 1);
    EXPECT_EQ(doubles.loginItems.calls.first().bundleIdentifier,
              QStringLiteral("com.corvane.vantrelhelper"));
    EXPECT_TRUE(doubles.loginItems.calls.first().enabled);
}

TEST_F(LauncherRetirementTest, SeveralLaunchersGetOneNotification) {
    runningLaunchers(3);

    retireRunningLauncher(ownIdentifier);

    ASSERT_EQ(doubles.notifications.posted.size(), 1);
    EXPECT_EQ(doubles.notifications.posted.first().name, QStringLiteral("killLauncherQMZ"));
    EXPECT_EQ(doubles.notifications.posted.first().object, QStringLiteral("com.corvane.vantrel"));
}

TEST_F(LauncherRetirementTest, OnlyTheExactLauncherIdentifierCounts) {
    doubles.workspace.applications = {
        makeFakeApplication(std::nullopt, 1, QStringLiteral("VantrelHelper")),
        makeFakeApplication(QStringLiteral("com.corvane.VantrelHelper"), 2),
        makeFakeApplication(QStringLiteral("com.corvane.vantrelhelper "), 3),
        makeFakeApplication(QStringLiteral("com.corvane.vantrel"), 4),
        makeFakeApplication(QString(), 5),
        nullptr};

    retireRunningLauncher(ownIdentifier);

    EXPECT_TRUE(doubles.notifications.posted.isEmpty());
}

TEST_F(LauncherRetirementTest, LoginItemIsLeftAloneUnlessLaunchAtLogInIsOn) {
    runningLaunchers(1);

    retireRunningLauncher(ownIdentifier); // never set
    launchAtLogIn(false);
    retireRunningLauncher(ownIdentifier);
    doubles.defaults.setValue(keys::isLaunchAutomaticallyAtMacStartup, QStringLiteral("true"));
    retireRunningLauncher(ownIdentifier);

    // Switching it off is not ours to do here either.
    EXPECT_TRUE(doubles.loginItems.calls.isEmpty());
    EXPECT_EQ(doubles.notifications.posted.size(), 3);
}

TEST_F(LauncherRetirementTest, NotificationFollowsTheRegistrationEvenWhenItFails) {
    // Watches the order of the two calls.
    class OrderWatchingLoginItems final : public LoginItems {
    public:
        explicit OrderWatchingLoginItems(const testing::RecordingNotificationCenter& center)
            : m_center(center) {}
        bool setEnabled(const QString&, bool) override {
            postedBefore.append(m_center.posted.size());
            return false;
        }
        QList<qsizetype> postedBefore;

    private:
        const testing::RecordingNotificationCenter& m_center;
    } loginItems(doubles.notifications);
    platform().loginItems = &loginItems;
    launchAtLogIn(true);
    runningLaunchers(2);

    retireRunningLauncher(ownIdentifier);

    EXPECT_EQ(loginItems.postedBefore, QList<qsizetype>{0});
    EXPECT_EQ(doubles.notifications.posted.size(), 1);
}

TEST_F(LauncherRetirementTest, WithoutOwnIdentifierNothingIsPostedButTheLoginItemStays) {
    launchAtLogIn(true);
    runningLaunchers(1);

    retireRunningLauncher(std::nullopt);

    EXPECT_TRUE(doubles.notifications.posted.isEmpty());
    EXPECT_EQ(doubles.loginItems.calls.size(), 1);
}

} // namespace
} // namespace vantrel
