#pragma once

#include <QtGlobal>

namespace vantrel {

// The native scan code of the key at the position of Q on a US keyboard, whatever the layout.
quint32 qKeyPositionScanCode();

} // namespace vantrel
