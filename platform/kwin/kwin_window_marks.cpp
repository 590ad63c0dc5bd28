#include "platform/kwin/kwin_window_marks.h"

#include "platform/input_held.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>

namespace vantrel::kwin {
namespace {

Q_LOGGING_CATEGORY(marksLog, "vantrel.kwin.marks")

const QString kwinService = QStringLiteral("org.kde.KWin");
const QString scriptingPath = QStringLiteral("/Scripting");
const QString scriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString ownPath = QStringLiteral("/com/corvane/vantrel/KWinWindowMarks");
const QString ownInterface = QStringLiteral("com.corvane.vantrel.KWinWindowMarks");
const QString clearingName = QStringLiteral("vantrel-window-marks-clear");
// A script that never reports (KWin could not read it) still makes way for the next one.
constexpr int reportTimeoutMs = 3000;
// How soon a script is written again while the user's input is held.
constexpr int heldInputRetryMs = 20;
// Quitting waits for KWin this long at most, per call.
constexpr int quitCallTimeoutMs = 2000;

QDBusMessage scriptingCall(const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kwinService, scriptingPath, scriptingInterface, method);
    message.setArguments(arguments);
    // KWin is there or it is not: the bus never starts one for us.
    message.setAutoStartService(false);
    return message;
}

bool writeScript(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        qCWarning(marksLog) << "cannot write" << path << file.errorString();
        return false;
    }
    return true;
}

QString scriptsFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QStringLiteral("/vantrel-kwin");
}

} // namespace

std::unique_ptr<KWinWindowMarks> KWinWindowMarks::connect(const QDBusConnection& bus) {
    if (!bus.isConnected())
        return nullptr;
    // Left from a run before: it only ever unmarks, and would fight nobody, but it holds the name.
    const QDBusMessage reply =
        bus.call(scriptingCall(QStringLiteral("unloadScript"), {clearingName}));
    if (reply.type() != QDBusMessage::ReplyMessage)
        return nullptr;
    const QString folder = scriptsFolder();
    if (!QDir().mkpath(folder)) {
        qCWarning(marksLog) << "cannot make" << folder;
        return nullptr;
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return std::unique_ptr<KWinWindowMarks>(new KWinWindowMarks(bus, folder));
}

KWinWindowMarks::KWinWindowMarks(const QDBusConnection& bus, QString folder)
    : m_bus(bus)
    , m_folder(std::move(folder)) {
    m_bus.registerObject(ownPath, this, QDBusConnection::ExportScriptableSlots);
    m_nextLoad.setSingleShot(true);
    QObject::connect(&m_nextLoad, &QTimer::timeout, this, &KWinWindowMarks::loadNext);
    m_reportTimeout.setSingleShot(true);
    m_reportTimeout.setInterval(reportTimeoutMs);
    QObject::connect(&m_reportTimeout, &QTimer::timeout, this, [this] {
        qCWarning(marksLog) << "KWin did not run" << scriptName(m_loading);
        finishLoad(m_loading);
    });
}

KWinWindowMarks::~KWinWindowMarks() {
    m_bus.unregisterObject(ownPath);
    if (!m_sent)
        return;
    // The file stays for KWin to read after this program has gone.
    const QString path = m_folder + QStringLiteral("/clear.js");
    const auto callKWin = [this](const QString& method, const QVariantList& arguments = {}) {
        return m_bus.call(scriptingCall(method, arguments), QDBus::Block, quitCallTimeoutMs)
                   .type() == QDBusMessage::ReplyMessage;
    };
    if (writeScript(path, windowMarksScript({})) &&
        callKWin(QStringLiteral("loadScript"), {path, clearingName}))
        callKWin(QStringLiteral("start"));
    for (const int serial : {m_running, m_loading}) {
        if (serial != 0) {
            callKWin(QStringLiteral("unloadScript"), {scriptName(serial)});
            QFile::remove(scriptPath(serial));
        }
    }
}

void KWinWindowMarks::apply(const WindowMarkRules& rules) {
    const std::optional<WindowMarkRules>& latest = m_wanted ? m_wanted : m_sent;
    if (latest == rules)
        return;
    m_wanted = rules;
    // Written from the event loop: the caller may be deciding where held input goes.
    if (m_loading == 0)
        m_nextLoad.start(0);
}

void KWinWindowMarks::loadNext() {
    if (!m_wanted || m_loading != 0)
        return;
    if (isInputHeld()) {
        m_nextLoad.start(heldInputRetryMs);
        return;
    }
    const int serial = ++m_serial;
    ScriptReport report;
    report.reportTo = m_bus.baseService();
    report.path = ownPath;
    report.interface = ownInterface;
    report.reportMethod = QStringLiteral("scriptRan");
    report.serial = serial;
    if (!writeScript(scriptPath(serial), windowMarksScript(*m_wanted, report)))
        return;
    m_sent = std::move(m_wanted);
    m_wanted.reset();
    m_loading = serial;
    m_reportTimeout.start();
    auto* watcher = new QDBusPendingCallWatcher(
        m_bus.asyncCall(
            scriptingCall(QStringLiteral("loadScript"), {scriptPath(serial), scriptName(serial)})),
        this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, serial, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<int> loaded = *watcher;
        if (loaded.isError() || loaded.value() < 0) {
            // The script before keeps watching.
            qCWarning(marksLog) << "KWin did not load" << scriptName(serial)
                                << loaded.error().message();
            if (serial == m_loading) {
                m_reportTimeout.stop();
                m_loading = 0;
                QFile::remove(scriptPath(serial));
                loadNext();
            }
            return;
        }
        m_bus.asyncCall(scriptingCall(QStringLiteral("start")));
    });
}

void KWinWindowMarks::scriptRan(const QString& serialText) {
    finishLoad(serialText.toInt());
}

void KWinWindowMarks::finishLoad(int serial) {
    if (serial == 0 || serial != m_loading)
        return;
    m_reportTimeout.stop();
    m_loading = 0;
    if (m_running != 0)
        unload(m_running);
    m_running = serial;
    loadNext();
}

void KWinWindowMarks::unload(int serial) {
    m_bus.asyncCall(scriptingCall(QStringLiteral("unloadScript"), {scriptName(serial)}));
    QFile::remove(scriptPath(serial));
}

QString KWinWindowMarks::scriptName(int serial) const {
    return QStringLiteral("vantrel-window-marks-%1-%2")
        .arg(QCoreApplication::applicationPid())
        .arg(serial);
}

QString KWinWindowMarks::scriptPath(int serial) const {
    return m_folder +
           QStringLiteral("/marks-%1-%2.js").arg(QCoreApplication::applicationPid()).arg(serial);
}

} // namespace vantrel::kwin
