// Feeds arbitrary bytes to every reader of untrusted property lists.
#include "platform/keyed_archive.h"
#include "platform/property_list.h"

#include <cstddef>
#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(std::numeric_limits<int>::max()))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)vantrel::parsePropertyList(bytes);
    (void)vantrel::unarchiveStringList(bytes);
    (void)vantrel::unarchiveString(bytes);
    return 0;
}
