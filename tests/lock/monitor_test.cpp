#include "lock_test_fixture.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;

const QRectF notesWindow(100, 100, 600, 600);

class MonitorTest : public LockTest {};

TEST_F(MonitorTest, LockingOffSuspendsBothHandlersWithoutWaiting) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    writeFlag(keys::isActivateVTR, false);
    doubles.workspace.launch({notes});
    pendingLockApps().append(notes);
    doubles.workspace.activate(notes);
    EXPECT_TRUE(doubles.clock.requestedDelays.empty());
    doubles.clock.advance(2s);
    EXPECT_FALSE(lockShown());

    // Switched on again, the pending application is covered at its next activation.
    writeFlag(keys::isActivateVTR, true);
    doubles.workspace.activate(notes);
    doubles.clock.advance(100ms);
    EXPECT_TRUE(lockShown());
}

TEST_F(MonitorTest, ALaunchWaitsOneSecondWithoutBlockingThenReadsWhatIsCurrent) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    doubles.workspace.launch({notes});
    ASSERT_EQ(doubles.clock.requestedDelays, std::vector<std::chrono::milliseconds>{1000ms});
    doubles.clock.advance(999ms);
    EXPECT_FALSE(lockShown());
    EXPECT_EQ(doubles.windowList.requestCount, 0);

    // The locked list is read when the wait is over, not when the launch came.
    saveSavedIds({});
    doubles.clock.advance(1ms);
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(pendingLockApps().isEmpty());

    saveSavedIds({QStringLiteral("org.example.Notes")});
    launchAndWait(notes);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(pendingLockApps(), RunningApplicationList{notes});
}

TEST_F(MonitorTest, OnlyTheFirstOfSeveralLaunchedApplicationsCountsAndQuitsAreIgnored) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    auto editor = makeFakeApplication(QStringLiteral("org.example.Editor"), 12);
    doubles.workspace.launch({editor, notes});
    doubles.clock.advance(1s);
    EXPECT_FALSE(lockShown());

    doubles.clock.requestedDelays.clear();
    doubles.workspace.terminate(editor);
    EXPECT_TRUE(doubles.clock.requestedDelays.empty());

    doubles.workspace.launch({notes, editor});
    doubles.clock.advance(1s);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(lockContent()->runningApp(), notes);
}

TEST_F(MonitorTest, UnlistedApplicationsAndApplicationsWithoutIdentifierAreNotLocked) {
    saveSavedIds({QStringLiteral("org.example.notes")}); // case matters
    launchAndWait(makeFakeApplication(QStringLiteral("org.example.Notes"), 11));
    launchAndWait(makeFakeApplication(std::nullopt, 12));
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(pendingLockApps().isEmpty());
}

TEST_F(MonitorTest, APendingApplicationIsCoveredAgainATenthOfASecondAfterItComesForward) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    launchAndWait(notes);
    lockWindow()->closeWindow();
    const int activationsBefore = doubles.workspace.activationCount;

    doubles.workspace.activate(notes);
    doubles.clock.advance(99ms);
    EXPECT_FALSE(lockShown());
    doubles.clock.advance(1ms);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(doubles.workspace.activationCount, activationsBefore + 1);
    EXPECT_EQ(pendingLockApps().size(), 1); // not appended twice
}

TEST_F(MonitorTest, ActivationsLockOnlyPendingVisibleApplicationsStillOnTheList) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    // Running before the program started, on the list, never launched since: not pending.
    doubles.workspace.activate(notes);
    doubles.clock.advance(100ms);
    EXPECT_FALSE(lockShown());

    launchAndWait(notes);
    lockWindow()->closeWindow();
    // Hidden when the wait ends (the state is read after the wait).
    doubles.workspace.activate(notes);
    notes->hidden = true;
    doubles.clock.advance(100ms);
    EXPECT_FALSE(lockShown());

    // Taken off the locked list while pending: no longer covered, though still pending.
    notes->hidden = false;
    saveSavedIds({});
    doubles.workspace.activate(notes);
    doubles.clock.advance(100ms);
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(isPendingLock(notes));

    // The desktop could not say which application came forward.
    saveSavedIds({QStringLiteral("org.example.Notes")});
    doubles.workspace.activate(nullptr);
    doubles.clock.advance(100ms);
    EXPECT_FALSE(lockShown());
}

TEST_F(MonitorTest, ASecondLockedApplicationTakesTheWindowOverAndTheFirstStaysPending) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    auto mail =
        lockedApplication(QStringLiteral("org.example.Mail"), 12, QRectF(300, 200, 700, 500));
    launchAndWait(notes);
    launchAndWait(mail);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(lockContent()->runningApp(), mail);
    EXPECT_EQ(lockWindow()->geometry(), QRect(300, 200, 700, 500));
    EXPECT_EQ(pendingLockApps(), (RunningApplicationList{notes, mail}));
}

TEST_F(MonitorTest, StoppingEndsTheWatchOfLaunches) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    stopMonitoring();
    launchAndWait(notes);
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(doubles.clock.requestedDelays.empty());
}

} // namespace
} // namespace vantrel::testing
