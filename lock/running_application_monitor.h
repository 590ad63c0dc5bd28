#pragma once

namespace vantrel {

// Starts watching the workspace for launched and activated applications while locking is on:
// a launched application on the locked list is covered one second after its launch; a pending
// one (locked, not yet unlocked) is covered again a tenth of a second after it comes forward.
// Calling it again replaces the earlier watch.
void startMonitoring();

// Stops watching launches; called at shut-down.
void stopMonitoring();

} // namespace vantrel
