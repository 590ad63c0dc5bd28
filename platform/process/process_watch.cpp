#include "platform/process/process_watch.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <QFile>
#include <QSocketNotifier>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vantrel {

namespace {

QString procPath(qint64 pid, const char* entry) {
    return QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1StringView(entry));
}

QByteArray readProcFile(qint64 pid, const char* entry) {
    QFile file(procPath(pid, entry));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(64 * 1024);
}

bool processExists(qint64 pid) {
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

bool isProcessOfThisUser(qint64 pid) {
    if (pid <= 0) {
        return false;
    }
    struct stat status {};
    const QByteArray path = QStringLiteral("/proc/%1").arg(pid).toLocal8Bit();
    return ::stat(path.constData(), &status) == 0 && status.st_uid == ::getuid();
}

QString processName(qint64 pid) {
    return QString::fromLocal8Bit(readProcFile(pid, "comm").trimmed());
}

ProcessExitWatch::ProcessExitWatch(qint64 pid, QObject* parent)
    : QObject(parent)
    , m_pid(pid) {
#ifdef SYS_pidfd_open
    m_pidfd = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
#endif
    if (m_pidfd < 0) {
        m_exited = !processExists(pid);
        return;
    }
    m_notifier = new QSocketNotifier(m_pidfd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ProcessExitWatch::onReadable);
}

ProcessExitWatch::~ProcessExitWatch() {
    delete m_notifier;
    if (m_pidfd >= 0) {
        ::close(m_pidfd);
    }
}

bool ProcessExitWatch::hasExited() const {
    if (m_exited) {
        return true;
    }
    if (m_pidfd >= 0) {
        pollfd descriptor{m_pidfd, POLLIN, 0};
        m_exited = ::poll(&descriptor, 1, 0) > 0;
    } else {
        m_exited = !processExists(m_pid);
    }
    return m_exited;
}

void ProcessExitWatch::onReadable() {
    m_notifier->setEnabled(false);
    m_exited = true;
    Q_EMIT exited();
}

} // namespace vantrel
