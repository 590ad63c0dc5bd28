#include "controls/crv_switch.h"
#include "tests/support/manual_animation_driver.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QVariantAnimation>

namespace vantrel {
namespace {

class SwitchTest : public ::testing::Test {
protected:
    SwitchTest() {
        QObject::connect(&control, &CRVSwitch::action, &control,
                         [this](CRVSwitch* sender) { seenValues.push_back(sender->isOn()); });
        // Let the update made at creation settle.
        driver.advanceBy(500);
    }

    QPointF atTrack(qreal fraction) const {
        const QRect track = control.trackRect();
        return {track.left() + track.width() * fraction, track.center().y() + 0.0};
    }
    void send(QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, control.mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&control, &event);
    }
    void press(qreal fraction = 0.1) {
        send(QEvent::MouseButtonPress, atTrack(fraction), Qt::LeftButton);
    }
    void drag(qreal fraction, int times = 1) {
        for (int i = 0; i < times; ++i)
            send(QEvent::MouseMove, atTrack(fraction), Qt::LeftButton);
    }
    void release(qreal fraction = 0.1) {
        send(QEvent::MouseButtonRelease, atTrack(fraction), Qt::NoButton);
    }
    void click() {
        press();
        release();
    }
    qreal border() { return control.kBorderLineWidth(); }
    qreal offX() { return border(); }
    qreal onX() {
        return control.trackRect().width() - control.layers().knob.frame.width() - border();
    }

    testing::ManualAnimationDriver driver;
    CRVSwitch control;
    std::vector<bool> seenValues;
};

TEST_F(SwitchTest, StartsOffWithACircularKnobInsetByTheBorder) {
    const QSize track = CRVSwitch::defaultFrameSize;
    EXPECT_EQ(control.trackRect().size(), track);
    EXPECT_DOUBLE_EQ(border(), track.height() * 2.0 / 31.0);
    const QRectF knob = control.layers().knob.frame;
    EXPECT_DOUBLE_EQ(knob.x(), border());
    EXPECT_DOUBLE_EQ(knob.y(), border());
    EXPECT_DOUBLE_EQ(knob.height(), track.height() - 2 * border());
    EXPECT_DOUBLE_EQ(knob.width(), knob.height());
    EXPECT_FALSE(control.isOn());
    EXPECT_EQ(control.layers().track.border, control.disabledBorderColor());
    EXPECT_EQ(control.layers().track.fill.alpha(), 0);
    EXPECT_TRUE(seenValues.empty());

    // The border width is fixed at creation; resizing lays the knob out again at once.
    control.show();
    click();
    control.resize(control.size() + QSize(20, 10));
    EXPECT_DOUBLE_EQ(border(), track.height() * 2.0 / 31.0);
    EXPECT_EQ(control.layerAnimation()->state(), QAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(control.presentedLayers().knob.frame.height(),
                     track.height() + 10 - 2 * border());
    EXPECT_DOUBLE_EQ(control.presentedLayers().knob.frame.x(), onX());
    EXPECT_DOUBLE_EQ(control.layers().track.cornerRadius, (track.height() + 10) / 2.0);
}

TEST_F(SwitchTest, AClickTogglesAndTellsTheReceiverTheNewValueOnce) {
    click();
    EXPECT_TRUE(control.isOn());
    EXPECT_EQ(seenValues, std::vector<bool>{true});
    EXPECT_EQ(control.layers().track.fill, control.tintColor());
    EXPECT_DOUBLE_EQ(control.layers().knob.frame.x(), onX());

    // Fewer than four drag events are still a click.
    press();
    drag(0.1, 3);
    release();
    EXPECT_FALSE(control.isOn());
    EXPECT_EQ(seenValues, (std::vector<bool>{true, false}));
    EXPECT_FALSE(control.isActive());
    EXPECT_EQ(control.dragEvents(), 0);
}

TEST_F(SwitchTest, SettingTheValueFromCodeNeverSendsTheAction) {
    control.setOn(false, true);
    EXPECT_EQ(control.layerAnimation()->state(), QAbstractAnimation::Stopped);

    control.setOn(true, false);
    EXPECT_TRUE(control.isOn());
    EXPECT_EQ(control.layerAnimation()->state(), QAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(control.presentedLayers().knob.frame.x(), onX());

    control.setOn(false, true);
    EXPECT_EQ(control.layerAnimation()->state(), QAbstractAnimation::Running);
    EXPECT_TRUE(seenValues.empty());
}

TEST_F(SwitchTest, AnUpdateAnimatesToItsEndWithTheDefaultCurve) {
    click();
    QVariantAnimation* animation = control.layerAnimation();
    ASSERT_EQ(animation->state(), QAbstractAnimation::Running);
    EXPECT_EQ(animation->duration(), 400);
    EXPECT_EQ(animation->easingCurve(), CRVSwitch::defaultTimingCurve());

    driver.advanceBy(150);
    const qreal midway = control.presentedLayers().knob.frame.x();
    EXPECT_GT(midway, offX());
    EXPECT_LT(midway, onX());

    driver.advanceBy(300);
    EXPECT_EQ(animation->state(), QAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(control.presentedLayers().knob.frame.x(), onX());
    EXPECT_EQ(control.presentedLayers().track.fill, control.tintColor());
}

TEST_F(SwitchTest, OnlyEveryFourthDragEventMovesTheKnobWhichOvershootsAndSettles) {
    press(0.1);
    drag(0.9, 3);
    EXPECT_FALSE(control.hasDragged());
    EXPECT_EQ(control.dragEvents(), 3);
    drag(0.9);
    EXPECT_TRUE(control.hasDragged());
    EXPECT_TRUE(control.isDraggingTowardsOn());
    EXPECT_TRUE(control.shownOn());
    EXPECT_FALSE(control.isOn());
    EXPECT_DOUBLE_EQ(control.layers().knob.frame.x(), onX());
    EXPECT_EQ(control.layerAnimation()->easingCurve(), CRVSwitch::dragTimingCurve());

    // The overshooting curve carries the knob past its end before it settles.
    QVariantAnimation* animation = control.layerAnimation();
    animation->pause();
    qreal furthest = 0.0;
    for (int ms = 0; ms <= 400; ms += 10) {
        animation->setCurrentTime(ms);
        furthest = std::max(furthest, control.presentedLayers().knob.frame.x());
    }
    EXPECT_GT(furthest, onX() + 0.5);
    EXPECT_EQ(animation->state(), QAbstractAnimation::Stopped);
    EXPECT_DOUBLE_EQ(control.presentedLayers().knob.frame.x(), onX());

    // Three more events back on the left are not acted on: the last acted-on one decides.
    drag(0.1, 3);
    release(0.1);
    EXPECT_TRUE(control.isOn());
    EXPECT_EQ(seenValues, std::vector<bool>{true});
    EXPECT_FALSE(control.hasDragged());
    EXPECT_EQ(control.layerAnimation()->easingCurve(), CRVSwitch::defaultTimingCurve());
}

TEST_F(SwitchTest, ADragEndingOnTheOldSideChangesNothingAndTheMiddleCountsAsOff) {
    press(0.9);
    drag(0.5, 4);
    EXPECT_TRUE(control.hasDragged());
    EXPECT_FALSE(control.isDraggingTowardsOn());
    release(0.9);
    EXPECT_FALSE(control.isOn());
    EXPECT_TRUE(seenValues.empty());

    control.setOn(true, false);
    press(0.9);
    drag(0.2, 4);
    release(0.9);
    EXPECT_FALSE(control.isOn());
    EXPECT_EQ(seenValues, std::vector<bool>{false});
}

TEST_F(SwitchTest, ADisabledSwitchFadesLosesItsShadowAndIgnoresTheMouse) {
    control.setEnabled(false);
    EXPECT_FLOAT_EQ(static_cast<float>(control.layers().opacity), CRVSwitch::kDisabledOpacity);
    EXPECT_EQ(control.layers().knob.shadow.color.alpha(), 0);
    click();
    press(0.1);
    drag(0.9, 4);
    release(0.9);
    EXPECT_FALSE(control.isOn());
    EXPECT_FALSE(control.hasDragged());
    EXPECT_TRUE(seenValues.empty());

    control.setEnabled(true);
    EXPECT_FLOAT_EQ(static_cast<float>(control.layers().opacity), CRVSwitch::kEnabledOpacity);
    EXPECT_EQ(control.layers().knob.shadow.color, QColor(Qt::black));
}

TEST_F(SwitchTest, LockedInteractionIgnoresTheMouseWithoutChangingTheLook) {
    control.setLockInteraction(true);
    click();
    press(0.1);
    EXPECT_FALSE(control.isActive());
    drag(0.9, 4);
    release(0.9);
    EXPECT_FALSE(control.isOn());
    EXPECT_FALSE(control.hasDragged());
    EXPECT_EQ(control.dragEvents(), 0);
    EXPECT_TRUE(seenValues.empty());
    EXPECT_DOUBLE_EQ(control.layers().opacity, 1.0);

    control.setLockInteraction(false);
    click();
    EXPECT_EQ(seenValues, std::vector<bool>{true});
}

TEST_F(SwitchTest, WithoutTheRatioTheKnobIsAPillThatNarrowsWhilePressed) {
    control.setIgnoreRatio(false);
    const qreal inner = control.trackRect().width() - 2 * border();
    EXPECT_DOUBLE_EQ(control.layers().knob.frame.width(), inner / 1.38);
    press();
    EXPECT_DOUBLE_EQ(control.layers().knob.frame.width(), inner / 1.6180339875);
    release();
    EXPECT_DOUBLE_EQ(control.layers().knob.frame.width(), inner / 1.38);
    EXPECT_DOUBLE_EQ(control.layers().knob.frame.x(),
                     control.trackRect().width() - inner / 1.38 - border());
}

TEST(SwitchLayers, ColoursStayBetweenTheirEndsWhileFramesOvershoot) {
    SwitchLayers from, to;
    from.knob.frame = QRectF(0, 0, 10, 10);
    to.knob.frame = QRectF(20, 0, 10, 10);
    from.track.fill = QColor(0, 0, 0, 0);
    to.track.fill = QColor(70, 220, 90);
    const SwitchLayers over = interpolateLayers(from, to, 1.2);
    EXPECT_DOUBLE_EQ(over.knob.frame.x(), 24.0);
    EXPECT_EQ(over.track.fill, to.track.fill);
    // Fading in from the clear colour keeps the hue; it does not pass through black.
    const QColor half = interpolateLayers(from, to, 0.5).track.fill;
    EXPECT_EQ(half.alpha(), 128);
    EXPECT_NEAR(half.green(), 220, 1);
}

} // namespace
} // namespace vantrel
