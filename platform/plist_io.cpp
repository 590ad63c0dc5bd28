#include "platform/plist_io.h"

#include <cstdint>
#include <limits>
#include <memory>

namespace vantrel {

plist_t plistFromBytes(const QByteArray& bytes) {
    if (bytes.isEmpty() ||
        static_cast<quint64>(bytes.size()) > std::numeric_limits<uint32_t>::max())
        return nullptr;
    plist_t root = nullptr;
#if VANTREL_LIBPLIST_2_3
    // 2.3 reads JSON and OpenStep text too, where almost any text is a list; we take only what
    // 2.2 takes, so a damaged settings file is not read as one.
    plist_format_t format = PLIST_FORMAT_NONE;
    plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root, &format);
    if (root != nullptr && format != PLIST_FORMAT_BINARY && format != PLIST_FORMAT_XML) {
        plist_free(root);
        return nullptr;
    }
#else
    plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
#endif
    return root;
}

QByteArray plistToBinary(plist_t root) {
    char* raw = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &raw, &length);
#if VANTREL_LIBPLIST_2_3
    const std::unique_ptr<char, decltype(&plist_mem_free)> bin(raw, &plist_mem_free);
#else
    const std::unique_ptr<char, decltype(&plist_to_bin_free)> bin(raw, &plist_to_bin_free);
#endif
    if (!bin)
        return {};
    return QByteArray(bin.get(), static_cast<qsizetype>(length));
}

} // namespace vantrel
