#include "platform/freedesktop/dbus_notification_center.h"
#include "tests/launcher/private_session_bus.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QProcess>
#include <QTest>
#include <QThread>

namespace vantrel {
namespace {

struct Delivery {
    QString observer;
    bool onMainThread;
};

class DbusNotificationCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << qPrintable(bus.failure());
        poster = std::make_unique<DbusNotificationCenter>(connect(QStringLiteral("poster")));
        listener = std::make_unique<DbusNotificationCenter>(connect(QStringLiteral("listener")));
        ASSERT_TRUE(poster->isConnected());
        ASSERT_TRUE(listener->isConnected());
    }

    void TearDown() override {
        poster.reset();
        listener.reset();
        for (const QString& name : std::as_const(connectionNames))
            QDBusConnection::disconnectFromBus(name);
    }

    QDBusConnection connect(const QString& role) {
        const QString name = role + QString::number(++connectionCount);
        connectionNames.append(name);
        return QDBusConnection::connectToBus(bus.address(), name);
    }

    void observe(DbusNotificationCenter& center, const QString& name, const QString& object,
                 const QString& label, const QObject* context = nullptr) {
        center.addObserver(name, object, context, [this, label] {
            deliveries.append({label, QThread::currentThread() == qApp->thread()});
        });
    }

    QStringList labels() const {
        QStringList result;
        for (const Delivery& delivery : deliveries)
            result.append(delivery.observer);
        return result;
    }

    // Signals of one sender arrive in order: once the last one is in, every earlier one that
    // was going to arrive has.
    bool waitFor(const QString& label) {
        return QTest::qWaitFor([&] { return labels().contains(label); }, 5000);
    }

    testing::PrivateSessionBus bus;
    std::unique_ptr<DbusNotificationCenter> poster;
    std::unique_ptr<DbusNotificationCenter> listener;
    QList<Delivery> deliveries;
    QStringList connectionNames;
    int connectionCount = 0;
};

TEST_F(DbusNotificationCenterTest, DeliversOnlyTheNameAndObjectObserved) {
    observe(*listener, QStringLiteral("killLauncherQMZ"), QStringLiteral("com.corvane.vantrel"),
            QStringLiteral("quit"));
    observe(*listener, QStringLiteral("done"), QStringLiteral("end"), QStringLiteral("end"));

    poster->post(QStringLiteral("killLauncherQMZ"), QStringLiteral("com.corvane.other"));
    poster->post(QStringLiteral("killlauncherqmz"), QStringLiteral("com.corvane.vantrel"));
    poster->post(QStringLiteral("killLauncherQMZ"), QString());
    poster->post(QStringLiteral("killLauncherQMZ"), QStringLiteral("com.corvane.vantrel"));
    poster->post(QStringLiteral("done"), QStringLiteral("end"));

    ASSERT_TRUE(waitFor(QStringLiteral("end")));
    EXPECT_EQ(labels(), (QStringList{QStringLiteral("quit"), QStringLiteral("end")}));
    for (const Delivery& delivery : std::as_const(deliveries))
        EXPECT_TRUE(delivery.onMainThread);
}

TEST_F(DbusNotificationCenterTest, EveryObserverOfTheSessionHearsIncludingThePoster) {
    auto third = std::make_unique<DbusNotificationCenter>(connect(QStringLiteral("third")));
    observe(*listener, QStringLiteral("n"), QStringLiteral("o"), QStringLiteral("listener"));
    observe(*third, QStringLiteral("n"), QStringLiteral("o"), QStringLiteral("third"));
    observe(*poster, QStringLiteral("n"), QStringLiteral("o"), QStringLiteral("poster"));

    poster->post(QStringLiteral("n"), QStringLiteral("o"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return deliveries.size() == 3; }, 5000));
    QStringList heard = labels();
    heard.sort();
    EXPECT_EQ(heard, (QStringList{QStringLiteral("listener"), QStringLiteral("poster"),
                                  QStringLiteral("third")}));
}

TEST_F(DbusNotificationCenterTest, ObserverEndsWithItsContext) {
    auto context = std::make_unique<QObject>();
    observe(*listener, QStringLiteral("n"), QStringLiteral("o"), QStringLiteral("gone"),
            context.get());
    observe(*listener, QStringLiteral("n"), QStringLiteral("o"), QStringLiteral("kept"));
    context.reset();

    poster->post(QStringLiteral("n"), QStringLiteral("o"));

    ASSERT_TRUE(waitFor(QStringLiteral("kept")));
    QCoreApplication::processEvents();
    EXPECT_EQ(labels(), QStringList{QStringLiteral("kept")});
}

// The names on the bus are shared with other programs: an independent client posts by them.
TEST_F(DbusNotificationCenterTest, ReceivesTheSignalAsOtherClientsSendIt) {
    observe(*listener, QStringLiteral("killLauncherQMZ"), QStringLiteral("com.corvane.vantrel"),
            QStringLiteral("quit"));

    QProcess send;
    send.setProcessChannelMode(QProcess::ForwardedChannels);
    send.start(QStringLiteral("dbus-send"),
               {QStringLiteral("--bus=") + bus.address(), QStringLiteral("--type=signal"),
                QStringLiteral("/com/corvane/DistributedNotifications"),
                QStringLiteral("com.corvane.DistributedNotifications.Posted"),
                QStringLiteral("string:killLauncherQMZ"),
                QStringLiteral("string:com.corvane.vantrel")});
    ASSERT_TRUE(send.waitForFinished(5000));
    ASSERT_EQ(send.exitCode(), 0);

    EXPECT_TRUE(waitFor(QStringLiteral("quit")));
}

TEST(DbusNotificationCenterWithoutBus, PostingAndObservingDoNothing) {
    const QString name = QStringLiteral("nowhere");
    {
        DbusNotificationCenter center(
            QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), name));
        EXPECT_FALSE(center.isConnected());
        bool called = false;
        center.addObserver(QStringLiteral("n"), QStringLiteral("o"), nullptr,
                           [&called] { called = true; });
        center.post(QStringLiteral("n"), QStringLiteral("o"));
        QCoreApplication::processEvents();
        EXPECT_FALSE(called);
    }
    QDBusConnection::disconnectFromBus(name);
}

} // namespace
} // namespace vantrel
