#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

namespace vantrel {

// Facts about a local process, read from /proc.
bool isProcessOfThisUser(qint64 pid);
// The kernel's short name of the process (comm); empty when it cannot be read.
QString processName(qint64 pid);

// Tells when one process ends, through a pidfd on the event loop: no polling. Without pidfd
// support the end is only seen when hasExited() is asked.
class ProcessExitWatch final : public QObject {
    Q_OBJECT

public:
    explicit ProcessExitWatch(qint64 pid, QObject* parent = nullptr);
    ~ProcessExitWatch() override;

    qint64 pid() const { return m_pid; }
    bool hasExited() const;

Q_SIGNALS:
    void exited();

private:
    void onReadable();

    qint64 m_pid;
    int m_pidfd = -1;
    mutable bool m_exited = false;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vantrel
