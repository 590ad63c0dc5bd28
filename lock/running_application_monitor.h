#pragma once

namespace vantrel {

// Starts watching the workspace for launched and activated applications while locking is on:
// a launched application on the locked list is covered as soon as its first window is there; a
// pending one (locked, not yet unlocked) is covered again the moment it comes forward. The covers
// follow every change of the windows on the screen. Calling it again replaces the earlier watch.
void startMonitoring();

// Stops watching launches; called at shut-down.
void stopMonitoring();

} // namespace vantrel
