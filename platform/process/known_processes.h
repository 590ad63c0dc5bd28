#pragma once

#include "platform/process/application_identity.h"

#include <QHash>
#include <QString>

namespace vantrel {

// What /proc tells of a process that shows windows, read when the process creates a window: that
// is before the window is shown, so nothing needs reading later while the user's input is held.
struct KnownProcess {
    ProcessFacts facts;
    bool ofThisUser = false;
    QString name;
};

class KnownProcesses {
public:
    // Reads the process afresh: a pid seen before may be a new process by now.
    void learn(qint64 pid);
    // What was learnt; a process not learnt yet is read now.
    const KnownProcess& of(qint64 pid);
    void forget(qint64 pid) { m_processes.remove(pid); }

private:
    QHash<qint64, KnownProcess> m_processes;
};

} // namespace vantrel
