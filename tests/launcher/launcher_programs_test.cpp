// VantrelHelper and a Vantrel (the real one, or a stand-in that acts like it) as programs, on a
// private session bus, laid out in a bundle under a path that needs quoting.
#include "launcher/launcher_identifiers.h"
#include "platform/freedesktop/dbus_notification_center.h"
#include "platform/process/proc_processes.h"
#include "tests/launcher/private_session_bus.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace vantrel::login_launcher {
namespace {

// --main-bundle=PATH and --helper-bundle=PATH, as the test is registered with.
QString argument(const QString& name) {
    const QString prefix = QStringLiteral("--") + name + u'=';
    for (const QString& argument : QCoreApplication::arguments())
        if (argument.startsWith(prefix))
            return argument.mid(prefix.size());
    return {};
}

bool copyTree(const QString& from, const QString& to, const QString& skip = {}) {
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo& entry :
         source.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.absoluteFilePath() == skip)
            continue;
        const QString target = to + u'/' + entry.fileName();
        const bool copied = entry.isDir() ? copyTree(entry.absoluteFilePath(), target, skip)
                                          : QFile::copy(entry.absoluteFilePath(), target);
        if (!copied)
            return false;
    }
    return true;
}

class LauncherProgramsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << qPrintable(bus.failure());
        const QString mainSource = argument(QStringLiteral("main-bundle"));
        const QString helperSource = argument(QStringLiteral("helper-bundle"));
        ASSERT_TRUE(QFileInfo(mainSource).isDir()) << "no --main-bundle";
        ASSERT_TRUE(QFileInfo(helperSource).isDir()) << "no --helper-bundle";
        ASSERT_TRUE(root.isValid());

        mainBundle = root.filePath(QStringLiteral("Test Apps (1) $x/Vantrel.app"));
        mainExecutable = mainBundle + QStringLiteral("/Contents/MacOS/Vantrel");
        helperExecutable = mainBundle + QStringLiteral("/Contents/Library/LoginItems/"
                                                       "VantrelHelper.app/Contents/MacOS/"
                                                       "VantrelHelper");
        // The main bundle of the build holds a helper of its own; ours replaces it.
        ASSERT_TRUE(copyTree(mainSource, mainBundle,
                             QDir(mainSource).filePath(QStringLiteral("Contents/Library"))));
        ASSERT_TRUE(copyTree(helperSource,
                             mainBundle +
                                 QStringLiteral("/Contents/Library/LoginItems/VantrelHelper.app")));
        ASSERT_TRUE(QFileInfo(mainExecutable).isExecutable());
        ASSERT_TRUE(QFileInfo(helperExecutable).isExecutable());

        environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        // Vantrel's settings and login item stay in the test's folder.
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           root.filePath(QStringLiteral("config")));
        helper.setProcessEnvironment(environment);
        helper.setProcessChannelMode(QProcess::ForwardedChannels);
        handStarted.setProcessEnvironment(environment);
        handStarted.setProcessChannelMode(QProcess::ForwardedChannels);
    }

    void TearDown() override { endOurPrograms(); }

    // Every program running from the test's folder, whoever started it.
    QList<BundledProcess> ourPrograms() const {
        // The process table names executables by their real path.
        const QString folder = QFileInfo(root.path()).canonicalFilePath() + u'/';
        QList<BundledProcess> ours;
        for (const BundledProcess& process : scanBundledProcesses(QStringLiteral("/proc")))
            if (process.executablePath.startsWith(folder))
                ours.append(process);
        return ours;
    }

    int runningVantrels() const {
        const QList<BundledProcess> programs = ourPrograms();
        return int(std::count_if(programs.begin(), programs.end(), [](const auto& process) {
            return process.bundle.bundleIdentifier() == mainBundleIdentifier;
        }));
    }

    void endOurPrograms() {
        for (int signal : {SIGTERM, SIGKILL}) {
            for (const BundledProcess& process : ourPrograms())
                ::kill(static_cast<pid_t>(process.pid), signal);
            if (QTest::qWaitFor([this] { return ourPrograms().isEmpty(); }, 5000))
                return;
        }
    }

    // Replaces Vantrel by a program that only shows it was started, and keeps Vantrel aside.
    void replaceVantrelByMarker() {
        ASSERT_TRUE(QFile::rename(mainExecutable, mainExecutable + QStringLiteral(".real")));
        QFile marker(mainExecutable);
        ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
        marker.write("#!/bin/sh\n: > \"$0.started\"\n");
        marker.close();
        ASSERT_TRUE(marker.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner));
    }

    void startHelper() {
        helper.start(helperExecutable, {});
        ASSERT_TRUE(helper.waitForStarted(5000));
    }

    void expectHelperEnds() {
        ASSERT_TRUE(helper.waitForFinished(10000)) << "the helper keeps running";
        EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(helper.exitCode(), 0);
    }

    testing::PrivateSessionBus bus;
    QTemporaryDir root;
    QString mainBundle;
    QString mainExecutable;
    QString helperExecutable;
    QProcessEnvironment environment;
    QProcess helper;
    QProcess handStarted;
};

TEST_F(LauncherProgramsTest, HelperStartsVantrelOfItsBundleWhichEndsIt) {
    startHelper();
    expectHelperEnds();
    EXPECT_EQ(runningVantrels(), 1);
}

TEST_F(LauncherProgramsTest, HelperEndsAtOnceWhileVantrelRuns) {
    handStarted.start(mainExecutable, {});
    ASSERT_TRUE(handStarted.waitForStarted(5000));
    ASSERT_EQ(runningVantrels(), 1);

    startHelper();
    expectHelperEnds();
    EXPECT_EQ(runningVantrels(), 1) << "a second Vantrel was started";
}

TEST_F(LauncherProgramsTest, OnlyTheQuitNotificationOfVantrelEndsTheHelper) {
    replaceVantrelByMarker();
    startHelper();
    // The launch comes after the helper observes, so from here on nothing posted is lost.
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return QFileInfo::exists(mainExecutable + QStringLiteral(".started")); }, 10000));

    const QString name = QStringLiteral("poster");
    {
        DbusNotificationCenter poster(QDBusConnection::connectToBus(bus.address(), name));
        ASSERT_TRUE(poster.isConnected());
        poster.post(quitNotificationName, QStringLiteral("com.corvane.other"));
        poster.post(quitNotificationName, launcherBundleIdentifier);
        poster.post(QStringLiteral("killLauncher"), mainBundleIdentifier);
        EXPECT_FALSE(helper.waitForFinished(500)) << "ended by another notification";

        poster.post(quitNotificationName, mainBundleIdentifier);
        expectHelperEnds();
    }
    QDBusConnection::disconnectFromBus(name);
}

TEST_F(LauncherProgramsTest, VantrelStartedByHandEndsAWaitingHelper) {
    replaceVantrelByMarker();
    startHelper();
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return QFileInfo::exists(mainExecutable + QStringLiteral(".started")); }, 10000));
    ASSERT_EQ(helper.state(), QProcess::Running);

    ASSERT_TRUE(QFile::remove(mainExecutable));
    ASSERT_TRUE(QFile::rename(mainExecutable + QStringLiteral(".real"), mainExecutable));
    handStarted.start(mainExecutable, {});
    ASSERT_TRUE(handStarted.waitForStarted(5000));
    expectHelperEnds();
}

} // namespace
} // namespace vantrel::login_launcher
