#include "controls/shake_animation.h"
#include "lock/lock_application.h"
#include "lock_test_fixture.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QWindow>

namespace vantrel::testing {
namespace {

using namespace std::chrono_literals;

class LockWindowTest : public LockTest {
protected:
    void SetUp() override {
        LockTest::SetUp();
        notes =
            lockedApplication(QStringLiteral("org.example.Notes"), 11, QRectF(100, 100, 600, 600));
        writeMasterPassword(QStringLiteral("secret"));
        lockApplication(notes);
        ASSERT_TRUE(lockShown());
    }

    std::shared_ptr<FakeRunningApplication> notes;
};

TEST_F(LockWindowTest, IsAFramelessWindowAboveOthersOutsideTheWindowManagerThatNeverQuits) {
    const Qt::WindowFlags flags = lockWindow()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    // Unmanaged: no window manager can move, minimise, close or send it to another desktop.
    EXPECT_TRUE(flags.testFlag(Qt::BypassWindowManagerHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_FALSE(lockWindow()->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(doubles.workspace.lastKeyWindow, lockWindow()->windowHandle());
    // Only the password field takes the keyboard.
    EXPECT_EQ(lockContent()->btnClose()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(lockContent()->btnLogin()->focusPolicy(), Qt::NoFocus);
}

TEST_F(LockWindowTest, TheWindowManagerCannotCloseIt) {
    lockWindow()->windowHandle()->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(lockShown());
    EXPECT_FALSE(lockWindow()->close());
    EXPECT_TRUE(lockShown());
    EXPECT_TRUE(isPendingLock(notes));
}

TEST_F(LockWindowTest, TitleNamesTheApplicationOrSaysApp) {
    EXPECT_EQ(lockContent()->lblTitleLockApp()->text(), QStringLiteral("Notes is locked"));
    EXPECT_FALSE(lockContent()->imageViewLockApp()->pixmap().isNull());

    notes->name.reset();
    lockContent()->refreshLockedAppInfo();
    EXPECT_EQ(lockContent()->lblTitleLockApp()->text(), QStringLiteral("App is locked"));

    lockContent()->setRunningApp(nullptr);
    lockContent()->refreshLockedAppInfo();
    EXPECT_EQ(lockContent()->lblTitleLockApp()->text(), QStringLiteral("App is locked"));
}

TEST_F(LockWindowTest, TheLoginButtonShowsOnlyWhileSomethingIsTyped) {
    EXPECT_TRUE(passwordField()->text().isEmpty());
    EXPECT_TRUE(lockContent()->btnLogin()->isHidden());
    QTest::keyClicks(passwordField(), QStringLiteral("s"));
    EXPECT_FALSE(lockContent()->btnLogin()->isHidden());
    QTest::keyClick(passwordField(), Qt::Key_Backspace);
    EXPECT_TRUE(lockContent()->btnLogin()->isHidden());

    QTest::keyClicks(passwordField(), QStringLiteral("secret"));
    lockContent()->btnLogin()->click();
    EXPECT_FALSE(lockShown());
    EXPECT_FALSE(isPendingLock(notes));
}

TEST_F(LockWindowTest, AWrongPasswordOnlyShakesTheFieldAndKeepsTheText) {
    QTest::keyClicks(passwordField(), QStringLiteral("Secret"));
    QTest::keyClick(passwordField(), Qt::Key_Return);
    EXPECT_TRUE(lockShown());
    EXPECT_EQ(passwordField()->text(), QStringLiteral("Secret"));
    EXPECT_TRUE(isPendingLock(notes));
    EXPECT_TRUE(doubles.alerts.shown.isEmpty());
    auto* shaking = passwordField()->findChild<ShakeAnimation*>(ShakeAnimation::shakeAnimationName,
                                                                Qt::FindDirectChildrenOnly);
    ASSERT_NE(shaking, nullptr);
    EXPECT_EQ(shaking->duration(), 300);
}

TEST_F(LockWindowTest, CanonicallyEquivalentPasswordsUnlockAndNoStoredPasswordTakesTheEmptyOne) {
    writeMasterPassword(QStringLiteral("caf\u00e9"));
    passwordField()->setText(QStringLiteral("cafe\u0301"));
    lockContent()->verifyPassword();
    EXPECT_FALSE(lockShown());

    doubles.defaults.removeValue(keys::applock);
    lockApplication(notes);
    ASSERT_TRUE(passwordField()->text().isEmpty()); // cleared at every showing
    QTest::keyClick(passwordField(), Qt::Key_Return);
    EXPECT_FALSE(lockShown());
}

TEST_F(LockWindowTest, ADamagedStoredPasswordUnlocksNothingAndThePromptSaysSo) {
    const QLabel* prompt = lockContent()->lblPressKeyMessage();
    EXPECT_FALSE(prompt->text().contains(damagedPasswordAdvice()));
    lockContent()->dismissLock(false);
    ASSERT_FALSE(lockShown());

    doubles.defaults.setValue(keys::applock, QByteArray("not a cipher text"));
    lockApplication(notes);
    ASSERT_TRUE(lockShown());
    EXPECT_TRUE(prompt->text().startsWith(damagedPasswordAdvice())) << prompt->text().toStdString();
    EXPECT_TRUE(prompt->text().contains(QStringLiteral("Ctrl+Alt+Q")));
    // Whether the field shook since the last look.
    const auto tookShake = [] {
        auto* shaking = passwordField()->findChild<ShakeAnimation*>(
            ShakeAnimation::shakeAnimationName, Qt::FindDirectChildrenOnly);
        if (shaking == nullptr)
            return false;
        shaking->stop();
        delete shaking;
        return true;
    };
    for (const QString& typed : {QString(), QStringLiteral("secret"), QStringLiteral("x")}) {
        passwordField()->setText(typed);
        QTest::keyClick(passwordField(), Qt::Key_Return);
        EXPECT_TRUE(lockShown()) << typed.toStdString();
        EXPECT_TRUE(isPendingLock(notes));
        EXPECT_TRUE(tookShake()) << typed.toStdString();
    }

    // Deleted, it is no password again: the prompt asks as before and the empty entry unlocks.
    doubles.defaults.removeValue(keys::applock);
    passwordField()->clear();
    lockContent()->verifyPassword();
    EXPECT_FALSE(lockShown());
    EXPECT_FALSE(prompt->text().contains(damagedPasswordAdvice()));
}

TEST_F(LockWindowTest, CloseShortcutMatchesTheQPositionWithControlAndAltWhateverElseIsHeld) {
    KeyPressProbe probe(passwordField());
    const quint32 qPosition = qKeyPositionScanCode();

    pressKey(passwordField(), Qt::ControlModifier, qPosition); // no Alt: passes on
    pressKey(passwordField(), Qt::AltModifier, qPosition);     // no Control: passes on
    // Q of a layout that puts it elsewhere: passes on.
    pressKey(passwordField(), Qt::ControlModifier | Qt::AltModifier, qPosition + 14);
    EXPECT_EQ(probe.presses, 3);
    EXPECT_EQ(notes->hideRequests, 0);

    // The key at Q's place on an AZERTY keyboard is A; it still counts, Shift or not.
    pressKey(passwordField(), Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, qPosition,
             Qt::Key_A, QStringLiteral("A"));
    EXPECT_EQ(probe.presses, 3); // swallowed
    EXPECT_EQ(notes->hideRequests, 1);
}

TEST_F(LockWindowTest, TheShortcutIsWatchedOnlyWhileTheWindowIsUp) {
    lockContent()->setRunningApp(nullptr);
    lockContent()->dismissLock(false);
    ASSERT_FALSE(lockShown());
    QWidget elsewhere;
    KeyPressProbe probe(&elsewhere);
    pressCloseShortcut(&elsewhere);
    EXPECT_EQ(probe.presses, 1);
    EXPECT_EQ(notes->hideRequests, 0);
}

TEST_F(LockWindowTest, AHideThatDoesNotTakeEffectLeavesTheLockUp) {
    notes->hidesWhenAsked = false;
    lockContent()->btnClose()->click();
    EXPECT_EQ(notes->hideRequests, 1);
    doubles.clock.advance(300ms);
    EXPECT_TRUE(lockShown());
    EXPECT_TRUE(isPendingLock(notes));

    // Quitting counts as gone: the next try closes the window.
    notes->terminated = true;
    lockContent()->btnClose()->click();
    doubles.clock.advance(299ms);
    EXPECT_TRUE(lockShown());
    doubles.clock.advance(1ms);
    EXPECT_FALSE(lockShown());
}

TEST_F(LockWindowTest, EndingALockDropsTerminatedApplicationsAndKeepsTheOrderOfTheRest) {
    auto mail = lockedApplication(QStringLiteral("org.example.Mail"), 12, QRectF(0, 0, 600, 600));
    auto maps = lockedApplication(QStringLiteral("org.example.Maps"), 13, QRectF(0, 0, 600, 600));
    lockApplication(mail);
    lockApplication(maps);
    ASSERT_EQ(pendingLockApps(), (RunningApplicationList{notes, mail, maps}));
    notes->terminated = true;
    EXPECT_EQ(pendingLockApps().size(), 3); // terminated entries stay until a lock ends

    pressCloseShortcut(passwordField()); // hides Maps, which stays pending
    EXPECT_EQ(pendingLockApps(), (RunningApplicationList{mail, maps}));
    EXPECT_TRUE(maps->hidden);
}

} // namespace
} // namespace vantrel::testing
