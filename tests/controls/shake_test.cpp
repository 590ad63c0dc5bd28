#include "controls/shake.h"
#include "controls/shake_animation.h"
#include "tests/support/manual_animation_driver.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QWidget>

namespace vantrel {
namespace {

TEST(ShakeOffset, RunsThreeLinearCyclesBetweenPlusAndMinusAmplitudeInTheTotalTime) {
    // 0.3 s in all: each 0.1 s cycle goes +10 -> -10 -> +10.
    const double expected[][2] = {{0.0, 10.0},   {0.025, 0.0},  {0.05, -10.0}, {0.075, 0.0},
                                  {0.1, 10.0},   {0.15, -10.0}, {0.2, 10.0},   {0.25, -10.0},
                                  {0.2875, 5.0}, {0.3, 0.0}};
    for (const auto& [time, offset] : expected)
        EXPECT_NEAR(shakeOffsetAt(time, 3, 0.3, 10), offset, 1e-9) << "at " << time << " s";
}

TEST(ShakeOffset, DegenerateArgumentsLeaveTheViewInPlace) {
    EXPECT_EQ(shakeOffsetAt(0.01, 0, 0.3, 10), 0.0);
    EXPECT_EQ(shakeOffsetAt(0.01, 3, 0.0, 10), 0.0);
    EXPECT_EQ(shakeOffsetAt(-0.01, 3, 0.3, 10), 0.0);
}

class ShakeTest : public ::testing::Test {
protected:
    ShakeTest() {
        auto* layout = new QHBoxLayout(&container);
        layout->setContentsMargins(40, 20, 40, 20);
        layout->addWidget(field);
        container.resize(300, 80);
        container.show();
    }

    ShakeAnimation* runningShake() const {
        return field->findChild<ShakeAnimation*>(ShakeAnimation::shakeAnimationName,
                                                 Qt::FindDirectChildrenOnly);
    }

    testing::ManualAnimationDriver driver;
    QWidget container;
    QLineEdit* field = new QLineEdit;
};

TEST_F(ShakeTest, MovesTheWidgetSidewaysAndPutsItBackWhenItEnds) {
    field->setText(QStringLiteral("typed"));
    field->setFocus();
    const QPoint rest = field->pos();

    shake(field);
    ASSERT_NE(runningShake(), nullptr);
    EXPECT_EQ(runningShake()->duration(), 300);
    EXPECT_EQ(field->pos(), rest + QPoint(10, 0));

    driver.advanceBy(50);
    EXPECT_EQ(field->pos(), rest + QPoint(-10, 0));
    driver.advanceBy(50);
    EXPECT_EQ(field->pos(), rest + QPoint(10, 0));
    driver.advanceBy(175);
    EXPECT_EQ(field->pos(), rest + QPoint(0, 0)); // 0.275 s: half way back up
    EXPECT_EQ(runningShake()->state(), QAbstractAnimation::Running);

    driver.advanceBy(50);
    EXPECT_EQ(field->pos(), rest);
    EXPECT_EQ(field->text(), QStringLiteral("typed"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(runningShake(), nullptr);
}

TEST_F(ShakeTest, ASecondShakeReplacesTheRunningOne) {
    const QPoint rest = field->pos();
    shake(field);
    driver.advanceBy(50);
    ASSERT_EQ(field->pos(), rest + QPoint(-10, 0));

    shake(field);
    EXPECT_EQ(field->findChildren<ShakeAnimation*>().size(), 1);
    EXPECT_EQ(field->pos(), rest + QPoint(10, 0)); // started again from its rest position
    driver.advanceBy(250);
    EXPECT_EQ(runningShake()->state(), QAbstractAnimation::Running); // the full 0.3 s again
    driver.advanceBy(60);
    EXPECT_EQ(field->pos(), rest);
}

TEST_F(ShakeTest, EndsWhereTheLayoutPutTheWidgetMeanwhile) {
    field->setFixedWidth(150); // centred by the layout, so a wider container moves it
    auto* row = static_cast<QHBoxLayout*>(container.layout());
    row->setAlignment(field, Qt::AlignHCenter);
    row->activate();
    const QPoint oldRest = field->pos();
    shake(field);
    driver.advanceBy(30);
    container.resize(400, 80); // the layout moves and widens the field mid-shake
    container.layout()->activate();
    const QPoint newRest = field->pos();
    ASSERT_NE(newRest, oldRest);
    driver.advanceBy(20);
    EXPECT_EQ(field->pos(), newRest + QPoint(-10, 0));
    driver.advanceBy(300);
    EXPECT_EQ(field->pos(), newRest);
}

} // namespace
} // namespace vantrel
