#pragma once

#include "platform/running_application.h"

namespace vantrel {

// The running applications that were locked and not yet unlocked, in the order they were locked.
// Each activation of one of them locks it again. Entries are the workspace's shared objects and
// compare by identity; terminated ones stay until the next prune.
RunningApplicationList& pendingLockApps();

bool isPendingLock(const RunningApplicationRef& application);
// Appends the application unless it is there already.
void addPendingLock(const RunningApplicationRef& application);
void removePendingLock(const RunningApplicationRef& application);
// Drops the entries whose application has terminated, keeping the order of the rest.
void pruneTerminatedPendingLocks();

} // namespace vantrel
