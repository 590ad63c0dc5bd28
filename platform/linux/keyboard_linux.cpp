#include "platform/keyboard.h"

namespace vantrel {

// X11 keycodes are evdev codes plus 8; KEY_Q is 16.
quint32 qKeyPositionScanCode() {
    return 24;
}

} // namespace vantrel
