#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wlroots/wlroots_workspace.h"
#include "wayland_test_compositor.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QTest>

namespace vantrel::wayland {
namespace {

// The workspace on a connection to a compositor of the test's own, which tells it of windows
// that opened before it (those the compositor lists at the bind) and after.
class WorkspaceOnCompositor : public ::testing::Test {
protected:
    void SetUp() override {
        // Outside sway: nothing goes over its socket.
        qunsetenv("SWAYSOCK");
    }

    void start() {
        qputenv("WAYLAND_SOCKET", QByteArray::number(compositor.takeClientSocket()));
        connection = Connection::open();
        ASSERT_TRUE(connection);
        ASSERT_TRUE(connection->offersLockProtocols());
        WlrootsWorkspace::Providers providers;
        providers.desktopEntries = [] {
            DesktopEntry foot;
            foot.id = QStringLiteral("foot");
            foot.name = QStringLiteral("Foot");
            return QList<DesktopEntry>{foot};
        };
        providers.ownAppId = QStringLiteral("com.corvane.vantrel");
        workspace = std::make_unique<WlrootsWorkspace>(connection, std::move(providers));
        QObject::connect(
            workspace.get(), &Workspace::runningApplicationsChanged, workspace.get(),
            [this](const RunningApplicationsChange& change) { changes.append(change); });
    }

    QStringList runningAppIds() const {
        QStringList appIds;
        for (const RunningApplicationRef& application : workspace->runningApplications())
            appIds.append(static_cast<const WaylandRunningApplication&>(*application).appId());
        appIds.sort();
        return appIds;
    }

    WaylandTestCompositor compositor;
    std::shared_ptr<Connection> connection;
    std::unique_ptr<WlrootsWorkspace> workspace;
    QList<RunningApplicationsChange> changes;
};

TEST_F(WorkspaceOnCompositor, WindowsOpenBeforeItStartsAreRunningOnceItIsMade) {
    compositor.openWindow("foot");
    compositor.openWindow("foot");
    compositor.openWindow("org.gnome.Calculator");
    start();

    EXPECT_EQ(runningAppIds(),
              QStringList({QStringLiteral("foot"), QStringLiteral("org.gnome.Calculator")}));
    // Matched to its entry, as the list of running applications to lock shows it.
    const RunningApplicationList running = workspace->runningApplications();
    const auto foot = std::find_if(running.cbegin(), running.cend(), [](const auto& application) {
        return static_cast<const WaylandRunningApplication&>(*application).appId() == u"foot";
    });
    ASSERT_NE(foot, running.cend());
    EXPECT_EQ((*foot)->bundleIdentifier(), std::optional(QStringLiteral("foot")));
}

TEST_F(WorkspaceOnCompositor, AWindowOpenAtStartThatClosesEndsItsApplicationAndItsHandle) {
    compositor.openWindow("foot");
    start();
    ASSERT_EQ(workspace->runningApplications().size(), 1);
    const RunningApplicationRef foot = workspace->runningApplications().first();

    compositor.closeWindow("foot");
    EXPECT_TRUE(QTest::qWaitFor([&] { return compositor.liveHandles() == 0; }, 5000));
    EXPECT_EQ(compositor.destroyedHandles(), 1);
    EXPECT_TRUE(foot->isTerminated());
    EXPECT_TRUE(workspace->runningApplications().isEmpty());
    ASSERT_EQ(changes.size(), 1);
    EXPECT_FALSE(changes.first().newApplications);
}

TEST_F(WorkspaceOnCompositor, AWindowOpenedLaterIsALaunch) {
    start();
    compositor.openWindow("foot");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, 5000));
    const std::optional<RunningApplicationList>& launched = changes.first().newApplications;
    ASSERT_TRUE(launched);
    ASSERT_EQ(launched->size(), 1);
    EXPECT_EQ(launched->first()->bundleIdentifier(), std::optional(QStringLiteral("foot")));
}

TEST_F(WorkspaceOnCompositor, EveryHandleIsDestroyedWhenTheWorkspaceGoes) {
    compositor.openWindow("foot");
    // Vantrel's own windows are no application, but their handles are handles all the same.
    compositor.openWindow("com.corvane.vantrel");
    start();
    compositor.openWindow("org.gnome.Calculator");
    ASSERT_TRUE(QTest::qWaitFor([&] { return runningAppIds().size() == 2; }, 5000));
    ASSERT_EQ(compositor.liveHandles(), 3);

    workspace.reset();
    // Once the compositor has handled every request, before the connection closes, which would
    // take the handles away regardless.
    ASSERT_TRUE(connection->roundtrip());
    EXPECT_EQ(compositor.destroyedHandles(), 3);
    EXPECT_EQ(compositor.liveHandles(), 0);
}

} // namespace
} // namespace vantrel::wayland
