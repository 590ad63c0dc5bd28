#include "platform/kwin/kwin_window_marks.h"
#include "tests/launcher/private_session_bus.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace vantrel::kwin {
namespace {

// KWin's scripting as its bus interface shows it: on start, each loaded script "runs", which
// here means reading its file and reporting back the way the script's last line does.
class FakeKWinScripting final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    explicit FakeKWinScripting(const QDBusConnection& bus)
        : m_bus(bus) {}

    QStringList log() const {
        const QMutexLocker locker(&m_mutex);
        return m_log;
    }
    QStringList loaded() const {
        const QMutexLocker locker(&m_mutex);
        return m_scripts.keys();
    }
    QString textOf(const QString& name) const {
        const QMutexLocker locker(&m_mutex);
        return m_texts.value(name);
    }
    void setReporting(bool reporting) {
        const QMutexLocker locker(&m_mutex);
        m_reporting = reporting;
    }
    // Sends the reports held back while reporting was off.
    void reportHeld() {
        QMetaObject::invokeMethod(this, [this] {
            const QMutexLocker locker(&m_mutex);
            for (const QJsonObject& report : std::as_const(m_held))
                send(report);
            m_held.clear();
        });
    }

public Q_SLOTS:
    Q_SCRIPTABLE int loadScript(const QString& path, const QString& name) {
        const QMutexLocker locker(&m_mutex);
        if (m_scripts.contains(name))
            return -1;
        m_log.append(QStringLiteral("load ") + name);
        m_scripts.insert(name, path);
        return ++m_ids;
    }
    Q_SCRIPTABLE void start() {
        const QMutexLocker locker(&m_mutex);
        m_log.append(QStringLiteral("start"));
        for (auto each = m_scripts.cbegin(); each != m_scripts.cend(); ++each) {
            if (m_texts.contains(each.key()))
                continue;
            QFile file(each.value());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            m_texts.insert(each.key(), text);
            const QRegularExpressionMatch found =
                QRegularExpression(QStringLiteral("^const report = (.*);$"),
                                   QRegularExpression::MultilineOption)
                    .match(text);
            const QJsonObject report = QJsonDocument::fromJson(found.captured(1).toUtf8()).object();
            if (report.value(QStringLiteral("reportTo")).toString().isEmpty())
                continue;
            if (m_reporting)
                send(report);
            else
                m_held.append(report);
        }
    }
    Q_SCRIPTABLE bool unloadScript(const QString& name) {
        const QMutexLocker locker(&m_mutex);
        m_log.append(QStringLiteral("unload ") + name);
        m_texts.remove(name);
        return m_scripts.remove(name) > 0;
    }

private:
    void send(const QJsonObject& report) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(report.value(QStringLiteral("reportTo")).toString(),
                                           report.value(QStringLiteral("path")).toString(),
                                           report.value(QStringLiteral("interface")).toString(),
                                           report.value(QStringLiteral("reportMethod")).toString());
        call.setArguments({QString::number(report.value(QStringLiteral("serial")).toInt())});
        m_bus.send(call);
    }

    QDBusConnection m_bus;
    mutable QMutex m_mutex;
    QMap<QString, QString> m_scripts; // name to path
    QMap<QString, QString> m_texts;   // of the scripts that ran
    QStringList m_log;
    QList<QJsonObject> m_held;
    bool m_reporting = true;
    int m_ids = 0;
};

class KWinWindowMarksTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << qPrintable(bus.failure());
        qputenv("XDG_RUNTIME_DIR", QByteArray(runtime.path().toUtf8()));
        vantrel = QDBusConnection::connectToBus(bus.address(), QStringLiteral("vantrel"));
        ASSERT_TRUE(vantrel.isConnected());
    }

    void TearDown() override {
        marks.reset();
        if (kwin) {
            kwinBus.unregisterObject(QStringLiteral("/Scripting"));
            QMetaObject::invokeMethod(
                kwin.get(), [object = kwin.release()] { delete object; },
                Qt::BlockingQueuedConnection);
        }
        kwinThread.quit();
        kwinThread.wait();
        QDBusConnection::disconnectFromBus(QStringLiteral("vantrel"));
        QDBusConnection::disconnectFromBus(QStringLiteral("kwin"));
    }

    // KWin answers on a thread of its own: the marks block for a call at connect.
    void startKWin() {
        kwinBus = QDBusConnection::connectToBus(bus.address(), QStringLiteral("kwin"));
        ASSERT_TRUE(kwinBus.registerService(QStringLiteral("org.kde.KWin")));
        kwin = std::make_unique<FakeKWinScripting>(kwinBus);
        kwinThread.start();
        kwin->moveToThread(&kwinThread);
        ASSERT_TRUE(kwinBus.registerObject(QStringLiteral("/Scripting"), kwin.get(),
                                           QDBusConnection::ExportScriptableSlots));
    }

    static WindowMarkRules pending(const QString& window) {
        WindowMarkRules rules;
        rules.markedWindows = {window};
        return rules;
    }

    bool logEnds(const QStringList& tail) const {
        const QStringList log = kwin->log();
        return log.size() >= tail.size() && log.mid(log.size() - tail.size()) == tail;
    }

    QString name(int serial) const {
        return QStringLiteral("vantrel-window-marks-%1-%2")
            .arg(QCoreApplication::applicationPid())
            .arg(serial);
    }

    testing::PrivateSessionBus bus;
    QTemporaryDir runtime;
    QDBusConnection vantrel{QString()};
    QDBusConnection kwinBus{QString()};
    QThread kwinThread;
    std::unique_ptr<FakeKWinScripting> kwin;
    std::unique_ptr<KWinWindowMarks> marks;
};

TEST_F(KWinWindowMarksTest, NothingWhereKWinDoesNotAnswer) {
    EXPECT_FALSE(KWinWindowMarks::connect(vantrel));
}

TEST_F(KWinWindowMarksTest,
       TheScriptBeforeIsUnloadedOnlyOnceTheNextHasRunAndChangesMeanwhileMerge) {
    startKWin();
    marks = KWinWindowMarks::connect(vantrel);
    ASSERT_TRUE(marks);
    marks->apply(pending(QStringLiteral("a")));
    // Run, and its report on the way.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !kwin->textOf(name(1)).isEmpty(); }, 5000));

    kwin->setReporting(false);
    marks->apply(pending(QStringLiteral("b")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return kwin->loaded().size() == 2; }, 5000));
    // Two more changes while the second script has not run: only the last one is sent after it.
    marks->apply(pending(QStringLiteral("c")));
    marks->apply(pending(QStringLiteral("d")));
    QTest::qWait(200);
    EXPECT_EQ(kwin->loaded(), (QStringList{name(1), name(2)}));

    kwin->setReporting(true);
    kwin->reportHeld();
    ASSERT_TRUE(QTest::qWaitFor([&] { return kwin->loaded() == QStringList{name(3)}; }, 5000));
    EXPECT_TRUE(kwin->textOf(name(3)).contains(QStringLiteral("\"markedWindows\":[\"d\"]")));
    EXPECT_EQ(
        kwin->log().filter(QStringLiteral("unload")),
        (QStringList{QStringLiteral("unload vantrel-window-marks-clear"),
                     QStringLiteral("unload ") + name(1), QStringLiteral("unload ") + name(2)}));
    // The same rules again load nothing.
    const qsizetype entries = kwin->log().size();
    marks->apply(pending(QStringLiteral("d")));
    QTest::qWait(200);
    EXPECT_EQ(kwin->log().size(), entries);
}

TEST_F(KWinWindowMarksTest, QuittingLeavesAScriptThatUnmarksEveryWindowAndUnloadsItsOwn) {
    startKWin();
    marks = KWinWindowMarks::connect(vantrel);
    ASSERT_TRUE(marks);
    marks->apply(pending(QStringLiteral("a")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return kwin->loaded() == QStringList{name(1)}; }, 5000));
    const QString folder = marks->scriptFolder();

    marks.reset();
    EXPECT_TRUE(logEnds({QStringLiteral("load vantrel-window-marks-clear"), QStringLiteral("start"),
                         QStringLiteral("unload ") + name(1)}))
        << kwin->log().join(QLatin1Char('\n')).toStdString();
    const QString clearing = kwin->textOf(QStringLiteral("vantrel-window-marks-clear"));
    EXPECT_TRUE(clearing.contains(QStringLiteral("\"markedWindows\":[]")))
        << clearing.toStdString();
    // KWin reads a script's file after the call: that one stays, the others go.
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/clear.js")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("clear.js")});
}

TEST(WindowMarksScript, TheRulesGoInAsDataWhateverTheIdsHoldInThem) {
    WindowMarkRules rules;
    rules.lockedApplicationIds = {QStringLiteral("evil\"]});print(\"owned\");//\n")};
    rules.pendingProcesses = {42};
    const QString script = windowMarksScript(rules);
    const QRegularExpressionMatch found =
        QRegularExpression(QStringLiteral("^const rules = (.*);$"),
                           QRegularExpression::MultilineOption)
            .match(script);
    ASSERT_TRUE(found.hasMatch()) << script.toStdString();
    QJsonParseError error;
    const QJsonObject parsed = QJsonDocument::fromJson(found.captured(1).toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(parsed.value(QStringLiteral("lockedApplicationIds")).toArray().first().toString(),
              rules.lockedApplicationIds.first());
    EXPECT_EQ(parsed.value(QStringLiteral("pendingProcesses")).toArray().first().toInt(), 42);
}

} // namespace
} // namespace vantrel::kwin

#include "kwin_window_marks_test.moc"
