#pragma once

class QKeyEvent;

namespace vantrel {

// Control+Alt with the key at the position of Q, whatever the keyboard layout; other modifiers
// may be held as well.
bool isCloseShortcut(const QKeyEvent& event);

} // namespace vantrel
