#include "lock/close_shortcut.h"

#include "platform/keyboard.h"

#include <QKeyEvent>

namespace vantrel {

bool isCloseShortcut(const QKeyEvent& event) {
    if (event.type() != QEvent::KeyPress)
        return false;
    const Qt::KeyboardModifiers required = Qt::ControlModifier | Qt::AltModifier;
    return (event.modifiers() & required) == required &&
           event.nativeScanCode() == qKeyPositionScanCode();
}

} // namespace vantrel
