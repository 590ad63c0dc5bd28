#include "app/storyboard.h"

#include <gtest/gtest.h>
#include <QPointer>

namespace vantrel {
namespace {

// Each test uses controller classes of its own: the shared slots live for the whole process.
class CountedController : public QObject {
    Q_OBJECT
};

class DerivedController : public CountedController {
    Q_OBJECT
};

class WronglyMadeController : public QObject {
    Q_OBJECT
};

class UnregisteredController : public QObject {
    Q_OBJECT
};

class SomethingElse : public QObject {
    Q_OBJECT
};

TEST(Storyboard, SharedControllerIsMadeOnceAndKept) {
    int made = 0;
    storyboard::registerController(QStringLiteral("CountedController"), [&made]() -> QObject* {
        ++made;
        return new DerivedController;
    });

    CountedController* first =
        storyboard::sharedController<CountedController>(QStringLiteral("CountedController"));
    CountedController* second =
        storyboard::sharedController<CountedController>(QStringLiteral("CountedController"));

    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(made, 1);
    // A subclass of the expected class is accepted.
    EXPECT_NE(qobject_cast<DerivedController*>(first), nullptr);

    // Instantiating by identifier still makes a new controller every time.
    QObject* fresh = storyboard::instantiateController(QStringLiteral("CountedController"));
    EXPECT_NE(fresh, first);
    EXPECT_EQ(made, 2);
    delete fresh;
}

TEST(Storyboard, ControllerOfTheWrongClassLeavesTheSlotEmpty) {
    QPointer<QObject> wrongOne;
    int made = 0;
    storyboard::registerController(QStringLiteral("WronglyMadeController"),
                                   [&wrongOne, &made]() -> QObject* {
                                       ++made;
                                       wrongOne = new SomethingElse;
                                       return wrongOne;
                                   });

    EXPECT_EQ(storyboard::sharedController<WronglyMadeController>(
                  QStringLiteral("WronglyMadeController")),
              nullptr);
    // The object made is not leaked.
    EXPECT_TRUE(wrongOne.isNull());

    // The slot stays empty: the factory is not asked again.
    EXPECT_EQ(storyboard::sharedController<WronglyMadeController>(
                  QStringLiteral("WronglyMadeController")),
              nullptr);
    EXPECT_EQ(made, 1);
}

TEST(Storyboard, UnknownIdentifierYieldsNothing) {
    EXPECT_EQ(storyboard::instantiateController(QStringLiteral("NoSuchController")), nullptr);
    EXPECT_EQ(
        storyboard::sharedController<UnregisteredController>(QStringLiteral("NoSuchController")),
        nullptr);

    // An identifier registered with an empty factory counts as unknown.
    storyboard::registerController(QStringLiteral("EmptyFactory"), {});
    EXPECT_EQ(storyboard::instantiateController(QStringLiteral("EmptyFactory")), nullptr);
}

TEST(Storyboard, LaterRegistrationReplacesTheFactory) {
    storyboard::registerController(QStringLiteral("Replaced"),
                                   []() -> QObject* { return new SomethingElse; });
    storyboard::registerController(QStringLiteral("Replaced"),
                                   []() -> QObject* { return new CountedController; });

    QObject* made = storyboard::instantiateController(QStringLiteral("Replaced"));
    EXPECT_NE(qobject_cast<CountedController*>(made), nullptr);
    delete made;
}

TEST(Storyboard, ReleasingDeletesTheSharedInstancesNewestFirstAndEmptiesTheSlots) {
    QList<QString> deleted;
    QObject listening; // ends the notes with this test
    const auto factory = [&deleted, &listening](const QString& name) {
        return [&deleted, &listening, name]() -> QObject* {
            auto* made = new QObject;
            QObject::connect(made, &QObject::destroyed, &listening,
                             [&deleted, name] { deleted.append(name); });
            return made;
        };
    };
    storyboard::registerController(QStringLiteral("ReleasedFirstMade"),
                                   factory(QStringLiteral("first")));
    storyboard::registerController(QStringLiteral("ReleasedSecondMade"),
                                   factory(QStringLiteral("second")));
    QPointer<QObject> first = storyboard::sharedObject(QStringLiteral("ReleasedFirstMade"));
    QPointer<QObject> second = storyboard::sharedObject(QStringLiteral("ReleasedSecondMade"));
    // A shared instance inside a newer one goes with it and is not deleted twice.
    first->setParent(second);

    storyboard::releaseSharedControllers();

    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(deleted, (QList<QString>{QStringLiteral("second"), QStringLiteral("first")}));
    QObject* again = storyboard::sharedObject(QStringLiteral("ReleasedFirstMade"));
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(storyboard::sharedObject(QStringLiteral("ReleasedFirstMade")), again);
}

} // namespace
} // namespace vantrel

#include "storyboard_test.moc"
