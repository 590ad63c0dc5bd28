#pragma once

#include <QByteArray>

namespace vantrel {

// Whether an X server accepts a connection on the named display (empty: none is named, so none
// is tried). Opens and closes a connection of its own.
bool x11DisplayOpens(const QByteArray& displayName);

} // namespace vantrel
