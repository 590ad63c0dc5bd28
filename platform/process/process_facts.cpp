#include "platform/process/process_facts.h"

#include <QFile>
#include <QFileInfo>

namespace vantrel {

namespace {

// All three are small; the bound keeps a hostile sandbox from making us read much.
constexpr qint64 kMaximumSize = 64 * 1024;

QByteArray readSmall(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(kMaximumSize);
}

} // namespace

ProcessFacts readProcessFacts(qint64 pid) {
    ProcessFacts facts;
    if (pid <= 0) {
        return facts;
    }
    const QString process = QStringLiteral("/proc/%1/").arg(pid);
    facts.cgroup = QString::fromUtf8(readSmall(process + QStringLiteral("cgroup")));
    // Read through the sandbox's own root; only a regular file, never a FIFO planted there.
    const QString flatpakInfo = process + QStringLiteral("root/.flatpak-info");
    if (QFileInfo(flatpakInfo).isFile()) {
        facts.flatpakInfo = QString::fromUtf8(readSmall(flatpakInfo));
    }
    const QByteArray commandLine = readSmall(process + QStringLiteral("cmdline"));
    for (const QByteArray& word : commandLine.split('\0')) {
        facts.commandLine.append(QString::fromLocal8Bit(word));
    }
    // The command line ends with a NUL, which leaves one empty word behind.
    if (!facts.commandLine.isEmpty() && facts.commandLine.last().isEmpty()) {
        facts.commandLine.removeLast();
    }
    return facts;
}

} // namespace vantrel
