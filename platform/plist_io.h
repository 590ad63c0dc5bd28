#pragma once

#include <plist/plist.h>
#include <QByteArray>

// libplist's reading from and writing to memory, the calls whose form differs between the
// versions we build against (2.2 on Debian 12, 2.6 on Debian 13); the rest of its API is the same.
namespace vantrel {

// The tree of a binary or XML property list, owned by the caller (plist_free); null when the
// bytes are anything else (JSON and OpenStep text included) or too many for libplist.
plist_t plistFromBytes(const QByteArray& bytes);

// The tree in binary form; empty when libplist cannot write it.
QByteArray plistToBinary(plist_t root);

} // namespace vantrel
