#pragma once

namespace vantrel {

// Whether the user's keys and clicks are held in the display server now, waiting for this program
// to decide where they go. Meanwhile nothing on the main thread reads a file or the bus: one slow
// read would hold the whole session's input.
bool isInputHeld();
void setInputHeld(bool held);

} // namespace vantrel
