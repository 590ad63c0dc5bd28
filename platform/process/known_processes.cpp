#include "platform/process/known_processes.h"

#include "platform/process/process_facts.h"
#include "platform/process/process_watch.h"

namespace vantrel {

void KnownProcesses::learn(qint64 pid) {
    if (pid <= 0)
        return;
    KnownProcess process;
    process.ofThisUser = isProcessOfThisUser(pid);
    if (process.ofThisUser) {
        process.facts = readProcessFacts(pid);
        process.name = processName(pid);
    }
    m_processes.insert(pid, process);
}

const KnownProcess& KnownProcesses::of(qint64 pid) {
    if (!m_processes.contains(pid))
        learn(pid);
    return m_processes[pid];
}

} // namespace vantrel
