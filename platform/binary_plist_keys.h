#pragma once

#include <QByteArray>

namespace vantrel {

// Whether a binary property list has a dictionary key with a NUL in it, or is too broken to tell.
// libplist takes such a list, then aborts on an assertion when the key is read, so a list like
// this is refused before libplist builds it. Anything that is not a binary list answers false.
bool binaryPlistHasKeyWithNul(const QByteArray& bytes);
// The same, adding to `reads` how many bytes it looked at: a small multiple of the list's size at
// most, however its objects share or overlap each other's bytes.
bool binaryPlistHasKeyWithNul(const QByteArray& bytes, quint64& reads);

} // namespace vantrel
