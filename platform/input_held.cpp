#include "platform/input_held.h"

namespace vantrel {
namespace {

// Main thread only, like everything that reads it.
bool held = false;

} // namespace

bool isInputHeld() {
    return held;
}

void setInputHeld(bool isHeld) {
    held = isHeld;
}

} // namespace vantrel
