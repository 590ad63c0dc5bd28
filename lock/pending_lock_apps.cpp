#include "lock/pending_lock_apps.h"

namespace vantrel {

RunningApplicationList& pendingLockApps() {
    static RunningApplicationList applications;
    return applications;
}

bool isPendingLock(const RunningApplicationRef& application) {
    return application && pendingLockApps().contains(application);
}

void addPendingLock(const RunningApplicationRef& application) {
    if (application && !isPendingLock(application))
        pendingLockApps().append(application);
}

void removePendingLock(const RunningApplicationRef& application) {
    if (application)
        pendingLockApps().removeAll(application);
}

void pruneTerminatedPendingLocks() {
    pendingLockApps().removeIf(
        [](const RunningApplicationRef& application) { return application->isTerminated(); });
}

} // namespace vantrel
