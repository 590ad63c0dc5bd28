#include "platform/process/proc_processes.h"

#include <cerrno>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

const QString deletedSuffix = QStringLiteral(" (deleted)");

// The target of a symbolic link as the kernel gives it; nothing when it cannot be read.
std::optional<QString> readLink(const QString& path) {
    const QByteArray encodedPath = QFile::encodeName(path);
    QByteArray target(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t length =
            ::readlink(encodedPath.constData(), target.data(), static_cast<size_t>(target.size()));
        if (length < 0)
            return std::nullopt;
        if (length < target.size()) {
            target.truncate(length);
            return QFile::decodeName(target);
        }
        if (target.size() >= (1 << 20))
            return std::nullopt;
        target.resize(target.size() * 2);
    }
}

// The executable of a process. The kernel marks one that was removed or replaced since the
// start (an update, say) with " (deleted)"; the process still belongs to that path's bundle.
std::optional<QString> executableOf(const QString& processFolder) {
    std::optional<QString> target = readLink(processFolder + QStringLiteral("/exe"));
    if (!target || !target->startsWith(u'/'))
        return std::nullopt;
    if (target->endsWith(deletedSuffix) && !QFileInfo::exists(*target))
        target->chop(deletedSuffix.size());
    return target;
}

bool isOwnedByThisUser(const QString& processFolder) {
    struct stat status {};
    if (::stat(QFile::encodeName(processFolder).constData(), &status) != 0)
        return false;
    return status.st_uid == ::getuid();
}

// The variables of a process's starting environment that say which session bus it uses.
std::optional<QString> sessionBusOf(const QString& processFolder) {
    QFile file(processFolder + QStringLiteral("/environ"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The kernel bounds an environment's size; /proc reports no size, so read to the end.
    const QByteArray environment = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    static constexpr QByteArrayView busPrefix = "DBUS_SESSION_BUS_ADDRESS=";
    static constexpr QByteArrayView runtimePrefix = "XDG_RUNTIME_DIR=";
    QString busAddress;
    QString runtimeDirectory;
    for (const QByteArray& entry : environment.split('\0')) {
        if (entry.startsWith(busPrefix))
            busAddress = QString::fromUtf8(entry.sliced(busPrefix.size()));
        else if (entry.startsWith(runtimePrefix))
            runtimeDirectory = QFile::decodeName(entry.sliced(runtimePrefix.size()));
    }
    return sessionBusKey(busAddress, runtimeDirectory);
}

} // namespace

std::optional<quint64> processStartTime(const QString& procRoot, qint64 pid) {
    QFile file(procRoot + u'/' + QString::number(pid) + QStringLiteral("/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray stat = file.readAll();
    // "pid (comm) state ppid ..."; comm may itself hold spaces and parentheses.
    const qsizetype commEnd = stat.lastIndexOf(')');
    if (commEnd < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(commEnd + 1).simplified().split(' ');
    // Field 22 of the line, the 20th after comm.
    constexpr qsizetype startTimeIndex = 22 - 3;
    if (fields.size() <= startTimeIndex)
        return std::nullopt;
    // A zombie has ended; only its parent has not collected it yet.
    if (fields.at(0) == "Z" || fields.at(0) == "X")
        return std::nullopt;
    bool ok = false;
    const quint64 startTime = fields.at(startTimeIndex).toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    return startTime;
}

QList<BundledProcess> scanBundledProcesses(const QString& procRoot) {
    QList<BundledProcess> processes;
    QHash<QString, std::optional<BundleInfo>> bundles; // one lookup per executable
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const qint64 pid = entry.toLongLong(&isNumber);
        if (!isNumber || pid <= 0)
            continue;
        const QString folder = procRoot + u'/' + entry;
        if (!isOwnedByThisUser(folder))
            continue;
        // Read the start time around everything else, so that a process that ended and whose
        // pid went to another one meanwhile is not mistaken for it.
        const std::optional<quint64> startTime = processStartTime(procRoot, pid);
        if (!startTime)
            continue;
        const std::optional<QString> executable = executableOf(folder);
        if (!executable)
            continue;
        auto known = bundles.constFind(*executable);
        if (known == bundles.constEnd())
            known = bundles.insert(*executable, bundleForExecutable(*executable));
        if (!known->has_value())
            continue;
        std::optional<QString> sessionBus = sessionBusOf(folder);
        if (processStartTime(procRoot, pid) != startTime)
            continue;
        processes.append(
            BundledProcess{pid, *startTime, *executable, **known, std::move(sessionBus)});
    }
    return processes;
}

QString sessionBusKey(const QString& busAddress, const QString& runtimeDirectory) {
    if (busAddress.isEmpty()) {
        // What the D-Bus library falls back to without an address.
        if (runtimeDirectory.isEmpty())
            return {};
        return QStringLiteral("unix:path=") + QDir::cleanPath(runtimeDirectory) +
               QStringLiteral("/bus");
    }
    // The guid only confirms the server; two processes may be told the same bus with or
    // without it.
    QStringList addresses;
    for (const QString& address : busAddress.split(u';', Qt::SkipEmptyParts)) {
        QStringList parts = address.trimmed().split(u',');
        parts.removeIf(
            [](const QString& part) { return part.startsWith(QStringLiteral("guid=")); });
        addresses.append(parts.join(u','));
    }
    return addresses.join(u';');
}

QString ownSessionBusKey() {
    return sessionBusKey(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                         qEnvironmentVariable("XDG_RUNTIME_DIR"));
}

} // namespace vantrel
