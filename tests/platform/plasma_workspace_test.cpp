#include "platform/wayland/plasma/plasma_workspace.h"
#include "platform/wayland/wayland_connection.h"
#include "wayland_test_compositor.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>

namespace vantrel::wayland {
namespace {

// No such processes run: their facts read empty, and the app_id alone names the entry.
constexpr uint32_t editorPid = 4000001;
constexpr uint32_t secondEditorPid = 4000002;

// The workspace on a connection to a compositor of the test's own that speaks KWin's window
// management, as KWin 5.27 does to a client it permits.
class PlasmaWorkspaceOnCompositor : public ::testing::Test {
protected:
    void start() {
        qputenv("WAYLAND_SOCKET", QByteArray::number(compositor.takeClientSocket()));
        connection = Connection::open();
        ASSERT_TRUE(connection);
        ASSERT_TRUE(connection->offersLockProtocols());
        ASSERT_TRUE(connection->offersPlasmaWindowManagement());
        ToplevelWorkspace::Providers providers;
        providers.desktopEntries = [] {
            DesktopEntry kate;
            kate.id = QStringLiteral("org.kde.kate");
            kate.name = QStringLiteral("Kate");
            return QList<DesktopEntry>{kate};
        };
        providers.ownAppId = QStringLiteral("com.corvane.vantrel");
        providers.lockedApplicationIds = [this] { return lockedIds; };
        workspace = std::make_unique<PlasmaWorkspace>(connection, std::move(providers), nullptr);
        QObject::connect(
            workspace.get(), &Workspace::runningApplicationsChanged, workspace.get(),
            [this](const RunningApplicationsChange& change) { changes.append(change); });
    }

    RunningApplicationRef running(const QString& appId, qint64 pid) const {
        for (const RunningApplicationRef& application : workspace->runningApplications()) {
            if (static_cast<const WaylandRunningApplication&>(*application).appId() == appId &&
                application->processIdentifier() == pid)
                return application;
        }
        return nullptr;
    }

    WaylandTestCompositor compositor{WaylandTestCompositor::WindowManagement::Plasma};
    std::shared_ptr<Connection> connection;
    std::unique_ptr<PlasmaWorkspace> workspace;
    QList<RunningApplicationsChange> changes;
    QStringList lockedIds;
};

TEST_F(PlasmaWorkspaceOnCompositor, WindowsOpenAtStartAreOneApplicationPerProcessAndEntry) {
    compositor.openWindow("org.kde.kate", editorPid);
    compositor.openWindow("org.kde.kate", editorPid);
    compositor.openWindow("org.kde.kate", secondEditorPid);
    compositor.openWindow("com.corvane.vantrel", 4000003);
    start();

    ASSERT_EQ(workspace->runningApplications().size(), 2);
    const RunningApplicationRef kate = running(QStringLiteral("org.kde.kate"), editorPid);
    ASSERT_TRUE(kate);
    EXPECT_EQ(kate->bundleIdentifier(), std::optional(QStringLiteral("org.kde.kate")));
    EXPECT_EQ(kate->localizedName(), std::optional(QStringLiteral("Kate")));
    EXPECT_TRUE(running(QStringLiteral("org.kde.kate"), secondEditorPid));
    // Open before the workspace was made: running, not launched.
    EXPECT_TRUE(changes.isEmpty());
}

TEST_F(PlasmaWorkspaceOnCompositor, ALaterWindowIsALaunchAndItsActivationComesForward) {
    start();
    QSignalSpy activated(workspace.get(), &Workspace::applicationActivated);
    compositor.openWindow("org.kde.kate", editorPid);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !changes.isEmpty(); }, 5000));
    ASSERT_TRUE(changes.first().newApplications);
    ASSERT_EQ(changes.first().newApplications->size(), 1);
    EXPECT_EQ(changes.first().newApplications->first()->processIdentifier(), editorPid);

    compositor.activateWindow("org.kde.kate");
    ASSERT_TRUE(activated.wait(5000));
    EXPECT_EQ(activated.first().first().value<RunningApplicationRef>()->processIdentifier(),
              editorPid);
}

TEST_F(PlasmaWorkspaceOnCompositor, HideMinimisesEveryWindowAndActivateBringsOneBack) {
    compositor.openWindow("org.kde.kate", editorPid);
    compositor.openWindow("org.kde.kate", editorPid);
    compositor.openWindow("org.kde.kate", secondEditorPid);
    start();
    const RunningApplicationRef kate = running(QStringLiteral("org.kde.kate"), editorPid);
    ASSERT_TRUE(kate);

    ASSERT_TRUE(kate->hide());
    EXPECT_TRUE(QTest::qWaitFor([&] { return kate->isHidden(); }, 5000));
    EXPECT_EQ(compositor.minimizedWindows("org.kde.kate"), 2);
    // The other process's window of the same entry is another application, left alone.
    EXPECT_FALSE(running(QStringLiteral("org.kde.kate"), secondEditorPid)->isHidden());

    ASSERT_TRUE(kate->activate());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !kate->isHidden(); }, 5000));
    EXPECT_EQ(compositor.minimizedWindows("org.kde.kate"), 1);
}

TEST_F(PlasmaWorkspaceOnCompositor, AnUnmappedWindowEndsItsApplicationAndEveryHandleIsDestroyed) {
    compositor.openWindow("org.kde.kate", editorPid);
    compositor.openWindow("org.kde.dolphin", secondEditorPid);
    start();
    const RunningApplicationRef kate = running(QStringLiteral("org.kde.kate"), editorPid);
    ASSERT_TRUE(kate);

    compositor.closeWindow("org.kde.kate");
    EXPECT_TRUE(QTest::qWaitFor([&] { return kate->isTerminated(); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return compositor.destroyedHandles() == 1; }, 5000));
    EXPECT_EQ(workspace->runningApplications().size(), 1);

    workspace.reset();
    ASSERT_TRUE(connection->roundtrip());
    EXPECT_EQ(compositor.destroyedHandles(), 2);
    EXPECT_EQ(compositor.liveHandles(), 0);
}

TEST_F(PlasmaWorkspaceOnCompositor,
       MarkRulesNameThePendingWindowsAndOnlyTheFreeOnesTheyWouldCatch) {
    compositor.openWindow("org.kde.kate", editorPid);          // {window-1}
    compositor.openWindow("org.kde.kate", editorPid);          // {window-2}
    compositor.openWindow("org.kde.kate", secondEditorPid);    // {window-3}, unlocked
    compositor.openWindow("org.kde.dolphin", secondEditorPid); // {window-4}, same process
    compositor.openWindow("org.kde.konsole", 4000005);         // {window-5}, nothing to do with it
    lockedIds = {QStringLiteral("org.kde.kate")};
    start();

    // Nothing waits: no window is marked, and the free ones are listed only where the script
    // would otherwise take them for new windows of a locked application.
    kwin::WindowMarkRules rules = workspace->markRules({});
    EXPECT_TRUE(rules.markedWindows.isEmpty());
    EXPECT_EQ(rules.freeWindows,
              (QStringList{QStringLiteral("window-1"), QStringLiteral("window-2"),
                           QStringLiteral("window-3")}));
    EXPECT_EQ(rules.lockedApplicationIds, lockedIds);

    const WindowOwner waiting{secondEditorPid, QStringLiteral("org.kde.kate")};
    rules = workspace->markRules({waiting});
    EXPECT_EQ(rules.markedWindows, QStringList{QStringLiteral("window-3")});
    EXPECT_EQ(rules.pendingProcesses, QList<qint64>{secondEditorPid});
    // The other application of the waiting process is free, and said so, since new windows of
    // that process are marked.
    EXPECT_EQ(rules.freeWindows,
              (QStringList{QStringLiteral("window-1"), QStringLiteral("window-2"),
                           QStringLiteral("window-4")}));

    // With nothing locked and nothing waiting, windows coming and going change nothing.
    lockedIds.clear();
    const kwin::WindowMarkRules quiet = workspace->markRules({});
    compositor.openWindow("org.kde.konsole", 4000006);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return workspace->runningApplications().size() == 5; }, 5000));
    EXPECT_EQ(workspace->markRules({}), quiet);
    EXPECT_EQ(quiet, kwin::WindowMarkRules{});
}

TEST_F(PlasmaWorkspaceOnCompositor, TheWindowListFollowsKWinsPlacesStackingAndMinimising) {
    compositor.openWindow("org.kde.kate", editorPid);
    compositor.openWindow("org.kde.dolphin", secondEditorPid);
    start();
    ASSERT_TRUE(workspace->knowsWindowPlacement());
    WindowList& list = *workspace->windowList();
    const auto pidsFrontFirst = [&] {
        QList<qint64> pids;
        for (const WindowDescription& window :
             list.onScreenWindows().value_or(QList<WindowDescription>{}))
            pids.append(window.ownerProcessIdentifier.value_or(0));
        return pids;
    };
    const auto kateWindow = [&]() -> std::optional<WindowDescription> {
        for (const WindowDescription& window :
             list.onScreenWindows().value_or(QList<WindowDescription>{})) {
            if (window.ownerProcessIdentifier == editorPid)
                return window;
        }
        return std::nullopt;
    };

    compositor.raiseWindow("org.kde.kate");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return pidsFrontFirst() == QList<qint64>{editorPid, secondEditorPid};
        },
        5000));
    compositor.raiseWindow("org.kde.dolphin");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return pidsFrontFirst() == QList<qint64>{secondEditorPid, editorPid};
        },
        5000));

    QSignalSpy changed(workspace.get(), &Workspace::windowsChanged);
    compositor.placeWindow("org.kde.kate", 700, 90, 320, 200);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return kateWindow() && kateWindow()->bounds == QRectF(700, 90, 320, 200); }, 5000));
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_EQ(kateWindow()->applicationId, std::optional(QStringLiteral("org.kde.kate")));
    EXPECT_NE(kateWindow()->windowId, 0U);

    // Minimised, it is off the screen.
    const RunningApplicationRef dolphin =
        running(QStringLiteral("org.kde.dolphin"), secondEditorPid);
    ASSERT_TRUE(dolphin);
    ASSERT_TRUE(dolphin->hide());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return pidsFrontFirst() == QList<qint64>{editorPid}; }, 5000));
}

} // namespace
} // namespace vantrel::wayland
