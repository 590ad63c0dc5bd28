#include "lock_test_fixture.h"

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;

const QRectF notesWindow(100, 100, 600, 600);

class MonitorTest : public LockTest {};

TEST_F(MonitorTest, LockingOffSuspendsBothHandlers) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    writeFlag(keys::isActivateVTR, false);
    doubles.workspace.launch({notes});
    pendingLockApps().append(notes);
    doubles.workspace.activate(notes);
    EXPECT_FALSE(lockShown());

    // Switched on again, the pending application is covered at its next activation.
    writeFlag(keys::isActivateVTR, true);
    doubles.workspace.activate(notes);
    EXPECT_TRUE(lockShown());
}

TEST_F(MonitorTest, ALaunchLocksAtOnceWithTheListAsItIsThen) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    saveSavedIds({});
    doubles.workspace.launch({notes});
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(pendingLockApps().isEmpty());

    saveSavedIds({QStringLiteral("org.example.Notes")});
    doubles.workspace.launch({notes});
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(pendingLockApps(), RunningApplicationList{notes});
    // Nothing waits: a wait is time in which the application is usable.
    EXPECT_TRUE(doubles.clock.requestedDelays.empty());
}

TEST_F(MonitorTest, OnlyTheFirstOfSeveralLaunchedApplicationsCountsAndQuitsAreIgnored) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    auto editor = makeFakeApplication(QStringLiteral("org.example.Editor"), 12);
    doubles.workspace.launch({editor, notes});
    EXPECT_FALSE(lockShown());

    doubles.workspace.terminate(editor);
    EXPECT_FALSE(lockShown());

    doubles.workspace.launch({notes, editor});
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(lockContent()->runningApp(), notes);
}

TEST_F(MonitorTest, UnlistedApplicationsAndApplicationsWithoutIdentifierAreNotLocked) {
    saveSavedIds({QStringLiteral("org.example.notes")}); // case matters
    launch(makeFakeApplication(QStringLiteral("org.example.Notes"), 11));
    launch(makeFakeApplication(std::nullopt, 12));
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(pendingLockApps().isEmpty());
}

TEST_F(MonitorTest, APendingApplicationIsCoveredAgainTheMomentItComesForward) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    launch(notes);
    lockWindow()->closeWindow();
    const int activationsBefore = doubles.workspace.activationCount;

    doubles.workspace.activate(notes);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(doubles.workspace.activationCount, activationsBefore + 1);
    EXPECT_EQ(pendingLockApps().size(), 1); // not appended twice
    EXPECT_TRUE(lockController()->keyboardHold()->isHeld());

    // Another application comes forward: the user went there, and the keyboard goes with them.
    doubles.workspace.activate(makeFakeApplication(QStringLiteral("org.example.Free"), 12));
    EXPECT_FALSE(lockController()->keyboardHold()->isHeld());
    EXPECT_TRUE(lockShown());
}

TEST_F(MonitorTest, ActivationsLockOnlyPendingVisibleApplicationsStillOnTheList) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    // Running before the program started, on the list, never launched since: not pending.
    doubles.workspace.activate(notes);
    EXPECT_FALSE(lockShown());

    launch(notes);
    lockWindow()->closeWindow();
    notes->hidden = true;
    doubles.workspace.activate(notes);
    EXPECT_FALSE(lockShown());

    // Taken off the locked list while pending: no longer covered, though still pending.
    notes->hidden = false;
    saveSavedIds({});
    doubles.workspace.activate(notes);
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(isPendingLock(notes));

    // The desktop could not say which application came forward.
    saveSavedIds({QStringLiteral("org.example.Notes")});
    doubles.workspace.activate(nullptr);
    EXPECT_FALSE(lockShown());
}

TEST_F(MonitorTest, ASecondLockedApplicationTakesTheWindowOverAndTheFirstStaysPending) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    auto mail =
        lockedApplication(QStringLiteral("org.example.Mail"), 12, QRectF(300, 200, 700, 500));
    launch(notes);
    launch(mail);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(lockContent()->runningApp(), mail);
    EXPECT_EQ(lockWindow()->geometry(), QRect(300, 200, 700, 500));
    EXPECT_EQ(pendingLockApps(), (RunningApplicationList{notes, mail}));
}

TEST_F(MonitorTest, StoppingEndsTheWatchOfLaunches) {
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11, notesWindow);
    stopMonitoring();
    launch(notes);
    EXPECT_FALSE(lockShown());
}

} // namespace
} // namespace vantrel::testing
