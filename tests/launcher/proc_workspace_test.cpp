#include "platform/process/proc_processes.h"
#include "platform/process/proc_workspace.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <unistd.h>

namespace vantrel {
namespace {

void writeFile(const QString& path, const QByteArray& contents) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(contents), contents.size());
}

// A bundle NAME.app with Info.plist and an executable file; returns the executable's path.
QString makeBundle(const QString& folder, const QString& name, const QString& extraKeys,
                   const QString& identifier) {
    const QString bundle = folder + u'/' + name + QStringLiteral(".app");
    const QString executable = bundle + QStringLiteral("/Contents/MacOS/") + name.toLower();
    writeFile(bundle + QStringLiteral("/Contents/Info.plist"),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist "
                             "version=\"1.0\"><dict><key>CFBundleIdentifier</key><string>%1"
                             "</string>%2</dict></plist>\n")
                  .arg(identifier, extraKeys)
                  .toUtf8());
    writeFile(executable, "#!/bin/sh\n");
    return executable;
}

QString ownId(const char* label) {
    return QStringLiteral("org.example.") + QString::fromLatin1(label);
}

// A /proc of our making: each process a folder with stat, exe and environ.
class FakeProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        proc = root.filePath(QStringLiteral("proc"));
        apps = root.filePath(QStringLiteral("apps"));
        ASSERT_TRUE(QDir().mkpath(proc));
    }

    void addProcess(qint64 pid, const std::optional<QString>& exeTarget,
                    const std::optional<QByteArray>& environment = sessionA(),
                    const QByteArray& state = "S", bool withStat = true) {
        const QString folder = proc + u'/' + QString::number(pid);
        ASSERT_TRUE(QDir().mkpath(folder));
        if (withStat) {
            // A command name that holds ") (" must not shift the fields.
            writeFile(folder + QStringLiteral("/stat"),
                      QByteArray::number(pid) + " (odd) (name) " + state +
                          " 1 1 1 0 -1 4194560 100 0 0 0 1 1 0 0 20 0 1 0 " +
                          QByteArray::number(5000 + pid) + " 1000 10\n");
        }
        if (exeTarget) {
            ASSERT_EQ(::symlink(QFile::encodeName(*exeTarget).constData(),
                                QFile::encodeName(folder + QStringLiteral("/exe")).constData()),
                      0);
        }
        if (environment)
            writeFile(folder + QStringLiteral("/environ"), *environment);
    }

    static QByteArray sessionA() {
        return QByteArrayList{"HOME=/root", "DBUS_SESSION_BUS_ADDRESS=unix:path=/run/bus-a,guid=12",
                              "LANG=C"}
            .join('\0');
    }

    QList<qint64> scannedPids() const {
        QList<qint64> pids;
        for (const BundledProcess& process : scanBundledProcesses(proc))
            pids.append(process.pid);
        std::sort(pids.begin(), pids.end());
        return pids;
    }

    QTemporaryDir root;
    QString proc;
    QString apps;
};

TEST_F(FakeProcTest, FindsTheProcessesOfBundlesAndSkipsTheRest) {
    const QString vantrel = makeBundle(apps, QStringLiteral("Vantrel"), {}, ownId("a"));
    const QString updated = makeBundle(apps, QStringLiteral("Updated"), {}, ownId("b"));
    ASSERT_TRUE(QFile::remove(updated)); // replaced on disk while it runs
    addProcess(101, vantrel);
    addProcess(102, updated + QStringLiteral(" (deleted)"));
    addProcess(103, QStringLiteral("/usr/bin/env"));               // not in a bundle
    addProcess(104, std::nullopt);                                 // kernel thread: no exe
    addProcess(105, vantrel, sessionA(), "S", /*withStat=*/false); // ended meanwhile
    addProcess(106, vantrel, sessionA(), "Z");                     // zombie
    addProcess(107, QStringLiteral("relative/Vantrel.app/Contents/MacOS/vantrel"));
    ASSERT_TRUE(QDir().mkpath(proc + QStringLiteral("/abc")));
    ASSERT_TRUE(QFile::link(proc + QStringLiteral("/101"), proc + QStringLiteral("/self")));

    EXPECT_EQ(scannedPids(), (QList<qint64>{101, 102}));

    const QList<BundledProcess> processes = scanBundledProcesses(proc);
    for (const BundledProcess& process : processes) {
        if (process.pid == 101) {
            EXPECT_EQ(process.executablePath, vantrel);
            EXPECT_EQ(process.bundle.bundleIdentifier(), ownId("a"));
            EXPECT_EQ(process.startTime, 5101u);
            EXPECT_EQ(process.sessionBus, QStringLiteral("unix:path=/run/bus-a"));
        } else {
            EXPECT_EQ(process.executablePath, updated);
            EXPECT_EQ(process.bundle.bundleIdentifier(), ownId("b"));
        }
    }
}

TEST_F(FakeProcTest, LeavesOutOtherUsersProcesses) {
    const QString vantrel = makeBundle(apps, QStringLiteral("Vantrel"), {}, ownId("a"));
    addProcess(101, vantrel);
    addProcess(102, vantrel);
    const uid_t otherUser = ::getuid() + 1;
    if (::lchown(QFile::encodeName(proc + QStringLiteral("/102")).constData(), otherUser,
                 static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "cannot give a folder to another user here";
    EXPECT_EQ(scannedPids(), QList<qint64>{101});
}

TEST_F(FakeProcTest, WorkspaceKeepsToItsSessionAndToItsObjects) {
    const QString vantrel = makeBundle(apps, QStringLiteral("Vantrel"), {}, ownId("a"));
    addProcess(101, vantrel);
    addProcess(102, vantrel, QByteArray("DBUS_SESSION_BUS_ADDRESS=unix:path=/run/bus-b"));
    addProcess(103, vantrel, std::nullopt); // environment unreadable

    ProcWorkspace workspace(proc, QStringLiteral("unix:path=/run/bus-a"));
    const RunningApplicationList first = workspace.runningApplications();
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first.at(0)->processIdentifier(), 101);

    // The same application is the same object; a reused pid is another application.
    const RunningApplicationList second = workspace.runningApplications();
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(second.at(0), first.at(0));
    EXPECT_FALSE(first.at(0)->isTerminated());
    writeFile(proc + QStringLiteral("/101/stat"),
              "101 (vantrel) S 1 1 1 0 -1 0 0 0 0 0 1 1 0 0 20 0 1 0 99999 1000 10\n");
    EXPECT_TRUE(first.at(0)->isTerminated());
    const RunningApplicationList third = workspace.runningApplications();
    ASSERT_EQ(third.size(), 1);
    EXPECT_NE(third.at(0), first.at(0));
}

TEST_F(FakeProcTest, ApplicationsDescribeThemselvesFromTheirBundle) {
    addProcess(101, makeBundle(apps, QStringLiteral("Plain"), {}, ownId("plain")));
    addProcess(102, makeBundle(apps, QStringLiteral("Menu"),
                               QStringLiteral("<key>LSUIElement</key><true/><key>CFBundleName</key>"
                                              "<string>Menu Bar</string>"),
                               ownId("menu")));
    addProcess(103, makeBundle(apps, QStringLiteral("Background"),
                               QStringLiteral("<key>LSBackgroundOnly</key><true/>"
                                              "<key>CFBundleDisplayName</key><string>Shown</string>"
                                              "<key>CFBundleName</key><string>Hidden</string>"),
                               ownId("background")));

    ProcWorkspace workspace(proc, QStringLiteral("unix:path=/run/bus-a"));
    QHash<qint64, RunningApplicationRef> byPid;
    for (const RunningApplicationRef& application : workspace.runningApplications())
        byPid.insert(application->processIdentifier(), application);
    ASSERT_EQ(byPid.size(), 3);

    EXPECT_EQ(byPid[101]->activationPolicy(), ActivationPolicy::Regular);
    EXPECT_EQ(byPid[101]->localizedName(), QStringLiteral("Plain"));
    EXPECT_EQ(byPid[102]->activationPolicy(), ActivationPolicy::Accessory);
    EXPECT_EQ(byPid[102]->localizedName(), QStringLiteral("Menu Bar"));
    EXPECT_EQ(byPid[103]->activationPolicy(), ActivationPolicy::Prohibited);
    EXPECT_EQ(byPid[103]->localizedName(), QStringLiteral("Shown"));
    EXPECT_EQ(byPid[103]->bundleIdentifier(), ownId("background"));
    EXPECT_FALSE(byPid[103]->hide());
}

TEST(SessionBusKey, SameBusSameKey) {
    const QString runtime = QStringLiteral("/run/user/1000");
    const QString defaultBus = QStringLiteral("unix:path=/run/user/1000/bus");
    EXPECT_EQ(sessionBusKey({}, runtime), defaultBus);
    EXPECT_EQ(sessionBusKey(defaultBus, {}), defaultBus);
    EXPECT_EQ(sessionBusKey(defaultBus + QStringLiteral(",guid=0123abcd"), runtime), defaultBus);
    EXPECT_EQ(sessionBusKey({}, {}), QString());
    EXPECT_NE(sessionBusKey(QStringLiteral("unix:abstract=/tmp/dbus-x"), runtime), defaultBus);
}

// The real process table, with a program of ours running in a bundle.
TEST(RealProcTest, SeesAProgramOfABundleAndItsEnd) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    ASSERT_FALSE(sleep.isEmpty());
    const QString executable =
        makeBundle(root.path(), QStringLiteral("Sleeper"),
                   QStringLiteral("<key>LSUIElement</key><true/>"), ownId("sleeper"));
    ASSERT_TRUE(QFile::remove(executable));
    ASSERT_TRUE(QFile::copy(sleep, executable));

    QProcess sleeper;
    sleeper.start(executable, {QStringLiteral("30")});
    ASSERT_TRUE(sleeper.waitForStarted(5000));
    const qint64 pid = sleeper.processId();

    ProcWorkspace workspace;
    const auto findSleeper = [&]() -> RunningApplicationRef {
        for (const RunningApplicationRef& application : workspace.runningApplications())
            if (application->processIdentifier() == pid)
                return application;
        return nullptr;
    };
    const RunningApplicationRef found = findSleeper();
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->bundleIdentifier(), ownId("sleeper"));
    EXPECT_EQ(found->activationPolicy(), ActivationPolicy::Accessory);
    EXPECT_FALSE(found->isTerminated());

    // An update replaces the executable under the running program.
    ASSERT_TRUE(QFile::remove(executable));
    ASSERT_TRUE(QFile::copy(sleep, executable));
    const RunningApplicationRef afterUpdate = findSleeper();
    ASSERT_NE(afterUpdate, nullptr);
    EXPECT_EQ(afterUpdate, found);
    EXPECT_EQ(dynamic_cast<ProcRunningApplication&>(*afterUpdate).process().executablePath,
              executable);

    sleeper.kill();
    ASSERT_TRUE(sleeper.waitForFinished(5000));
    EXPECT_TRUE(found->isTerminated());
    EXPECT_EQ(findSleeper(), nullptr);
}

} // namespace
} // namespace vantrel
