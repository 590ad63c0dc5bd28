#include "lock/cover_layout.h"
#include "lock/cover_window.h"
#include "lock/lock_application.h"
#include "lock_test_fixture.h"

#include <QTest>

namespace vantrel::testing {
namespace {

// -- the plan, from facts ------------------------------------------------------------------------

WindowDescription window(qint64 pid, const QRectF& bounds, quint64 id = 0) {
    return WindowDescription{pid, bounds, id};
}

TEST(CoverPlan, EveryLockedWindowTheLockWindowDoesNotHideGetsAPlainCover) {
    CoverFacts facts;
    facts.lockedApplications = {{42}, {43}};
    facts.prompt = QRect(100, 100, 500, 500);
    facts.windows = {
        window(42, QRectF(100, 100, 300, 200)), // under the lock window
        window(42, QRectF(450, 120, 400, 300)), // second window, half out from under it
        window(7, QRectF(0, 0, 800, 800)),      // an application that is not locked
        window(43, QRectF(900, 500, 200, 150)), // another locked application
        window(42, QRectF(10, 10, 0, 50)),      // nothing to see
        WindowDescription{std::nullopt, QRectF(0, 0, 50, 50)},
    };
    const CoverPlan plan = planCovers(facts);
    EXPECT_EQ(plan.covers,
              (QList<Cover>{{QRect(450, 120, 400, 300), {42}}, {QRect(900, 500, 200, 150), {43}}}));
    EXPECT_FALSE(plan.raise);

    // Without the lock window up, every locked window is covered.
    facts.prompt.reset();
    EXPECT_EQ(planCovers(facts).covers.size(), 3);
}

TEST(CoverPlan, WindowBoundsCountFromTheMainScreenAndRoundOutwards) {
    // The main screen is the right one of two: the window list's origin is its top left.
    CoverFacts facts;
    facts.lockedApplications = {{42}};
    facts.mainScreenOrigin = QPointF(1280, 0);
    facts.windows = {window(42, QRectF(-1000.5, 100.25, 300, 200))};
    EXPECT_EQ(planCovers(facts).covers, (QList<Cover>{{QRect(279, 100, 301, 201),
                                                       {42}}})); // 279.5 .. 579.5, 100.25 .. 300.25
}

TEST(CoverPlan, FullScreenModeCoversEveryOtherScreen) {
    CoverFacts facts;
    facts.fullScreenMode = true;
    facts.lockedApplications = {{42}};
    facts.screens = {QRectF(1280, 0, 1280, 800), QRectF(0, 0, 1280, 800),
                     QRectF(0, 800, 1024, 768)};
    facts.mainScreenOrigin = QPointF(1280, 0);
    facts.prompt = QRect(0, 0, 1280, 800); // over the screen that shows the application
    facts.windows = {window(42, QRectF(-1180, 100, 300, 200)),
                     window(42, QRectF(-1000, 1000, 300, 200))}; // on the third screen
    const CoverPlan plan = planCovers(facts);
    EXPECT_EQ(plan.covers,
              (QList<Cover>{{QRect(1280, 0, 1280, 800), {42}}, {QRect(0, 800, 1024, 768), {42}}}));
}

TEST(CoverPlan, ALockedWindowInTransitionHasEveryScreenCovered) {
    CoverFacts facts;
    facts.lockedApplications = {{42}};
    facts.screens = {QRectF(0, 0, 1280, 800), QRectF(1280, 0, 1024, 768)};
    WindowDescription titleBar = window(42, QRectF(400, 300, 340, 20), 77);
    titleBar.inTransition = true;
    WindowDescription free = window(7, QRectF(0, 0, 100, 100), 78);
    free.inTransition = true;
    facts.windows = {titleBar, free};
    EXPECT_EQ(planCovers(facts).covers, (QList<Cover>{{QRect(0, 0, 2304, 800), {42}, 77}}));

    // Settled, it is covered where it stands again.
    facts.windows[0].inTransition = false;
    EXPECT_EQ(planCovers(facts).covers, (QList<Cover>{{QRect(400, 300, 340, 20), {42}, 77}}));
}

TEST(CoverPlan, ALockedWindowInFrontOfOneOfOursAsksForARaise) {
    CoverFacts facts;
    facts.lockedApplications = {{42}};
    facts.prompt = QRect(100, 100, 500, 500);
    facts.ownWindows = {901};
    // Front-most first: ours is in front of the application's window.
    facts.windows = {window(0, QRectF(100, 100, 500, 500), 901),
                     window(42, QRectF(100, 100, 300, 200), 77)};
    EXPECT_FALSE(planCovers(facts).raise);

    // The application raised itself over the lock.
    std::swap(facts.windows[0], facts.windows[1]);
    EXPECT_TRUE(planCovers(facts).raise);

    // A window that is not locked in front of ours is the user's business.
    facts.windows[0].ownerProcessIdentifier = 7;
    EXPECT_FALSE(planCovers(facts).raise);

    // Nor is a locked window that stands in front but somewhere else.
    facts.windows[0] = window(42, QRectF(900, 700, 100, 100), 77);
    EXPECT_FALSE(planCovers(facts).raise);
}

// -- the covers on the doubles --------------------------------------------------------------------

class CoverTest : public LockTest {
protected:
    QList<QRect> shownCovers() const {
        QList<QRect> shown;
        for (const CoverWindow* cover : lockController()->covers()->covers()) {
            if (cover->isVisible())
                shown.append(cover->geometry());
        }
        return shown;
    }

    void moveWindow(qsizetype index, const QRectF& bounds) {
        (*doubles.windowList.windows)[index].bounds = bounds;
        Q_EMIT doubles.workspace.windowsChanged();
    }
};

TEST_F(CoverTest, EveryWindowOfTheLockedApplicationIsCoveredAndTheCoversFollowThem) {
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
    addWindow(11, QRectF(800, 100, 300, 200));
    launch(notes);
    ASSERT_TRUE(lockShown());
    EXPECT_EQ(lockWindow()->geometry(), QRect(100, 100, 600, 600));
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(800, 100, 300, 200)});

    // Moved by anyone: the lock window and the covers go with the windows at once.
    moveWindow(0, QRectF(150, 120, 600, 600));
    moveWindow(1, QRectF(20, 700, 300, 200));
    EXPECT_EQ(lockWindow()->geometry(), QRect(150, 120, 600, 600));
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(20, 700, 300, 200)});

    // A window that appears later is covered as it appears; one that goes loses its cover.
    addWindow(11, QRectF(900, 600, 200, 100));
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_EQ(shownCovers(), (QList<QRect>{QRect(20, 700, 300, 200), QRect(900, 600, 200, 100)}));
    doubles.windowList.windows->removeAt(1);
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(900, 600, 200, 100)});

    // The lock follows the front-most window. With none on screen (another desktop, say) it
    // goes; the application stays pending, and its windows are covered as they come back.
    doubles.windowList.windows->removeAt(0);
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_EQ(lockWindow()->geometry(), QRect(900, 600, 500, 500));
    const QList<WindowDescription> shown = *doubles.windowList.windows;
    doubles.windowList.windows->clear();
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(isPendingLock(notes));
    EXPECT_TRUE(shownCovers().isEmpty());
    doubles.windowList.windows = shown;
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(900, 600, 200, 100)});
    doubles.workspace.activate(notes);
    ASSERT_TRUE(lockShown());
    EXPECT_TRUE(shownCovers().isEmpty());

    // Unlocked: every cover goes.
    addWindow(11, QRectF(20, 20, 100, 100));
    Q_EMIT doubles.workspace.windowsChanged();
    ASSERT_EQ(shownCovers().size(), 1);
    writeMasterPassword(QStringLiteral("pw"));
    QTest::keyClicks(passwordField(), QStringLiteral("pw"));
    QTest::keyClick(passwordField(), Qt::Key_Return);
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(shownCovers().isEmpty());
}

TEST_F(CoverTest, AClickOnTheCoverOfASecondWindowBringsTheLockThere) {
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
    (*doubles.windowList.windows)[0].windowId = 501;
    doubles.windowList.windows->append(WindowDescription{11, QRectF(800, 100, 300, 200), 502});
    launch(notes);
    ASSERT_EQ(shownCovers(), QList<QRect>{QRect(800, 100, 300, 200)});
    QTest::mouseClick(lockController()->covers()->covers().first(), Qt::LeftButton);
    EXPECT_EQ(lockWindow()->geometry(), QRect(800, 100, 500, 500));
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(100, 100, 600, 600)});
    // It stays with that window while it is on screen, until the application comes forward.
    moveWindow(1, QRectF(850, 150, 300, 200));
    EXPECT_EQ(lockWindow()->geometry(), QRect(850, 150, 500, 500));
    doubles.workspace.activate(notes);
    EXPECT_EQ(lockWindow()->geometry(), QRect(100, 100, 600, 600));
}

TEST_F(CoverTest, ALockedWindowComingBackWithNoLockUpIsAskedForAtOnce) {
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
    (*doubles.windowList.windows)[0].windowId = 501;
    launch(notes);
    // Minimised from a task bar: the lock goes with the window.
    const QList<WindowDescription> shown = *doubles.windowList.windows;
    doubles.windowList.windows->clear();
    Q_EMIT doubles.workspace.windowsChanged();
    ASSERT_FALSE(lockShown());
    doubles.workspace.lastKeyWindow = nullptr;

    // Restored without coming forward: the lock is back over it with the keyboard.
    doubles.windowList.windows = shown;
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(lockWindow()->geometry(), QRect(100, 100, 600, 600));
    EXPECT_EQ(doubles.workspace.lastKeyWindow, lockWindow()->windowHandle());
    EXPECT_EQ(doubles.workspace.keyboardGrabbedBy, lockWindow()->windowHandle());
    EXPECT_TRUE(shownCovers().isEmpty());
}

TEST_F(CoverTest, OtherPendingApplicationsStayCoveredAndAClickOnTheirCoverAsksForThem) {
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
    auto mail =
        lockedApplication(QStringLiteral("org.example.Mail"), 12, QRectF(800, 100, 500, 500));
    launch(notes);
    launch(mail);
    ASSERT_EQ(lockContent()->runningApp(), mail);
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(100, 100, 600, 600)});

    CoverWindow* noteCover = lockController()->covers()->covers().first();
    EXPECT_EQ(noteCover->owner().processIdentifier, 11);
    QTest::mouseClick(noteCover, Qt::LeftButton);
    EXPECT_EQ(lockContent()->runningApp(), notes);
    EXPECT_EQ(lockWindow()->geometry(), QRect(100, 100, 600, 600));
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(800, 100, 500, 500)});

    // Unlocking one leaves the other covered, with the lock window gone.
    writeMasterPassword(QStringLiteral("pw"));
    QTest::keyClicks(passwordField(), QStringLiteral("pw"));
    QTest::keyClick(passwordField(), Qt::Key_Return);
    EXPECT_FALSE(lockShown());
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(800, 100, 500, 500)});

    // Taken off the list or with locking off, a pending application is no longer covered.
    saveSavedIds({QStringLiteral("org.example.Notes")});
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_TRUE(shownCovers().isEmpty());
}

TEST_F(CoverTest, ThePrimaryScreenAwayFromTheOriginMovesNothingTwice) {
    // A laptop (main) right of an external screen: the window list counts from the laptop.
    doubles.mainScreen.screenFrame = QRectF(1920, 0, 1280, 800);
    doubles.mainScreen.otherScreens = {QRectF(0, 0, 1920, 1080)};
    auto notes = lockedApplication(QStringLiteral("org.example.Notes"), 11,
                                   QRectF(-1800, 100, 600, 600)); // on the external screen
    addWindow(11, QRectF(100, 100, 300, 200));                    // on the laptop
    launch(notes);
    EXPECT_EQ(lockWindow()->geometry(), QRect(120, 100, 600, 600));
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(2020, 100, 300, 200)});
}

TEST_F(CoverTest, FullScreenModeTakesTheApplicationsScreenAndCoversTheOthers) {
    writeFlag(keys::isEnableFullscreenLockMode, true);
    doubles.mainScreen.screenFrame = QRectF(1920, 0, 1280, 800);
    doubles.mainScreen.otherScreens = {QRectF(0, 0, 1920, 1080)};
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(-1800, 100, 600, 600));
    launch(notes);
    EXPECT_EQ(lockWindow()->geometry(), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(1920, 0, 1280, 800)});

    // A screen plugged in while the lock is up is covered too.
    doubles.mainScreen.otherScreens.append(QRectF(3200, 0, 1024, 768));
    lockController()->covers()->refresh();
    EXPECT_EQ(shownCovers(), (QList<QRect>{QRect(1920, 0, 1280, 800), QRect(3200, 0, 1024, 768)}));
}

TEST_F(CoverTest, WhereWindowPlacementIsUnknownEveryScreenIsCoveredUntilTheApplicationQuits) {
    doubles.workspace.knowsPlacement = false;
    doubles.mainScreen.screenFrame = QRectF(0, 0, 1280, 800);
    doubles.mainScreen.otherScreens = {QRectF(1280, 0, 1280, 800)};
    auto notes = makeFakeApplication(QStringLiteral("org.example.Notes"), 11);
    saveSavedIds({QStringLiteral("org.example.Notes")});
    doubles.windowList.windows.reset(); // the desktop lists no windows
    launch(notes);
    ASSERT_TRUE(lockShown());
    EXPECT_EQ(lockWindow()->geometry(), QRect(0, 0, 1280, 800));
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(1280, 0, 1280, 800)});

    // Nothing tells when a hidden window comes back before it shows: the lock stays.
    notes->hidden = true;
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(1280, 0, 1280, 800)});

    doubles.workspace.terminate(notes);
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_FALSE(lockShown());
    EXPECT_TRUE(shownCovers().isEmpty());
}

// -- tray icons ---------------------------------------------------------------------------------

WindowDescription trayIcon(qint64 pid, quint64 id) {
    WindowDescription icon;
    icon.ownerProcessIdentifier = pid;
    icon.bounds = QRectF(1100, 774, 22, 22); // in a panel at the foot
    icon.windowId = id;
    icon.trayIcon = true;
    return icon;
}

TEST_F(CoverTest, ATrayIconIsCoveredAndAClickOnItsCoverAsksForTheApplicationOverItsWindow) {
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
    doubles.windowList.windows->prepend(trayIcon(11, 601));
    launch(notes);
    ASSERT_TRUE(lockShown());
    EXPECT_EQ(lockWindow()->geometry(), QRect(100, 100, 600, 600));
    ASSERT_EQ(shownCovers(), QList<QRect>{QRect(1100, 774, 22, 22)});

    doubles.workspace.keyboardGrabbedBy = nullptr;
    QTest::mouseClick(lockController()->covers()->covers().first(), Qt::LeftButton);
    EXPECT_EQ(lockContent()->runningApp(), notes);
    EXPECT_EQ(lockWindow()->geometry(), QRect(100, 100, 600, 600));
    EXPECT_EQ(doubles.workspace.keyboardGrabbedBy, lockWindow()->windowHandle());
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(1100, 774, 22, 22)});
}

TEST_F(CoverTest, AnIconPutInTheTrayWithNoLockUpIsCoveredWithoutAskingForTheApplication) {
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
    launch(notes);
    // Minimised from a task bar: the lock goes with the window, the application stays pending.
    doubles.windowList.windows->clear();
    Q_EMIT doubles.workspace.windowsChanged();
    ASSERT_FALSE(lockShown());

    doubles.windowList.windows->append(trayIcon(11, 601));
    Q_EMIT doubles.workspace.windowsChanged();
    EXPECT_EQ(shownCovers(), QList<QRect>{QRect(1100, 774, 22, 22)});
    EXPECT_FALSE(lockShown());
}

TEST_F(CoverTest, InFullScreenModeTheScreenCoversAskForTheApplicationThePromptIsForNotAnIcon) {
    writeFlag(keys::isEnableFullscreenLockMode, true);
    doubles.mainScreen.screenFrame = QRectF(0, 0, 1280, 800);
    doubles.mainScreen.otherScreens = {QRectF(1280, 0, 1280, 800)};
    auto mail =
        lockedApplication(QStringLiteral("org.example.Mail"), 12, QRectF(1400, 100, 500, 500));
    auto notes =
        lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
    // The other application's icon, in the panel on the prompt's screen, in front of everything.
    doubles.windowList.windows->prepend(trayIcon(12, 601));
    launch(mail);
    launch(notes);
    ASSERT_EQ(lockContent()->runningApp(), notes);
    EXPECT_EQ(lockWindow()->geometry(), QRect(0, 0, 1280, 800));
    ASSERT_EQ(shownCovers(), QList<QRect>{QRect(1280, 0, 1280, 800)});

    QTest::mouseClick(lockController()->covers()->covers().first(), Qt::LeftButton);
    EXPECT_EQ(lockContent()->runningApp(), notes);
}

} // namespace
} // namespace vantrel::testing
