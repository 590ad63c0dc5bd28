#include "platform/binary_plist_keys.h"

#include <QSet>

namespace vantrel {

namespace {

constexpr qsizetype kHeaderSize = 8;
constexpr qsizetype kTrailerSize = 32;

class BinaryPlist {
public:
    explicit BinaryPlist(const QByteArray& bytes)
        : m_bytes(bytes) {}

    bool readTrailer() {
        if (m_bytes.size() < kHeaderSize + kTrailerSize || !m_bytes.startsWith("bplist00"))
            return false;
        const qsizetype trailer = m_bytes.size() - kTrailerSize;
        m_offsetSize = byteAt(trailer + 6);
        m_refSize = byteAt(trailer + 7);
        const std::optional<quint64> objects = integer(trailer + 8, 8);
        const std::optional<quint64> table = integer(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || !objects ||
            !table || *objects > static_cast<quint64>(m_bytes.size()) ||
            *table > static_cast<quint64>(trailer) ||
            *objects * static_cast<quint64>(m_offsetSize) > static_cast<quint64>(trailer) - *table)
            return false;
        m_objectCount = *objects;
        m_tableOffset = static_cast<qsizetype>(*table);
        return true;
    }

    quint64 objectCount() const { return m_objectCount; }

    // The object's marker, where its contents start and how many items (bytes, UTF-16 units,
    // entries) it has; nothing when it lies outside the file.
    struct Object {
        quint8 type = 0;
        qsizetype contents = 0;
        quint64 count = 0;
    };
    std::optional<Object> object(quint64 index) const {
        const std::optional<quint64> offset = integer(
            m_tableOffset + static_cast<qsizetype>(index * static_cast<quint64>(m_offsetSize)),
            m_offsetSize);
        // libplist takes any offset inside the file, the header's bytes too.
        if (!offset || *offset >= static_cast<quint64>(m_bytes.size()))
            return std::nullopt;
        const auto at = static_cast<qsizetype>(*offset);
        Object object;
        object.type = static_cast<quint8>(byteAt(at) >> 4);
        object.count = byteAt(at) & 0x0f;
        object.contents = at + 1;
        if (object.count == 0x0f) {
            const int marker = byteAt(at + 1);
            if ((marker >> 4) != 0x1 || (marker & 0x0f) > 3)
                return std::nullopt;
            const int size = 1 << (marker & 0x0f);
            const std::optional<quint64> count = integer(at + 2, size);
            if (!count)
                return std::nullopt;
            object.count = *count;
            object.contents = at + 2 + size;
        }
        return object;
    }

    // The index-th object reference of a collection whose references start at `from`.
    std::optional<quint64> reference(qsizetype from, quint64 index) const {
        if (index > static_cast<quint64>(m_bytes.size()))
            return std::nullopt;
        return integer(from + static_cast<qsizetype>(index) * m_refSize, m_refSize);
    }

    // Whether count units of width bytes from `from` hold a NUL, or run past the end of the file
    // (which libplist should refuse, but is not left to chance).
    bool holdsNul(qsizetype from, quint64 count, int width) const {
        if (count > static_cast<quint64>(m_bytes.size()) ||
            from + static_cast<qsizetype>(count) * width > m_bytes.size())
            return true;
        for (quint64 i = 0; i < count; ++i) {
            const qsizetype at = from + static_cast<qsizetype>(i) * width;
            if (byteAt(at) == 0 && (width == 1 || byteAt(at + 1) == 0))
                return true;
        }
        return false;
    }

private:
    int byteAt(qsizetype at) const {
        return at >= 0 && at < m_bytes.size() ? static_cast<quint8>(m_bytes.at(at)) : -1;
    }
    std::optional<quint64> integer(qsizetype at, int size) const {
        if (at < 0 || at + size > m_bytes.size())
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | static_cast<quint8>(m_bytes.at(at + i));
        return value;
    }

    const QByteArray& m_bytes;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    qsizetype m_tableOffset = 0;
};

constexpr quint8 kAsciiString = 0x5;
constexpr quint8 kUtf16String = 0x6;
constexpr quint8 kDictionary = 0xd;

} // namespace

bool binaryPlistHasKeyWithNul(const QByteArray& bytes) {
    BinaryPlist plist(bytes);
    if (!plist.readTrailer())
        return bytes.startsWith("bplist00"); // too broken to tell: not worth libplist's try
    QSet<quint64> keys;
    for (quint64 index = 0; index < plist.objectCount(); ++index) {
        const std::optional<BinaryPlist::Object> object = plist.object(index);
        if (!object || object->type != kDictionary)
            continue;
        if (object->count > static_cast<quint64>(bytes.size()))
            return true;
        // The key references come first, then as many value references.
        for (quint64 entry = 0; entry < object->count; ++entry) {
            const std::optional<quint64> key = plist.reference(object->contents, entry);
            if (!key)
                return true;
            keys.insert(*key);
        }
    }
    for (const quint64 key : std::as_const(keys)) {
        if (key >= plist.objectCount())
            continue; // libplist refuses a reference past the last object
        const std::optional<BinaryPlist::Object> object = plist.object(key);
        if (!object)
            return true;
        if ((object->type == kAsciiString && plist.holdsNul(object->contents, object->count, 1)) ||
            (object->type == kUtf16String && plist.holdsNul(object->contents, object->count, 2)))
            return true;
    }
    return false;
}

} // namespace vantrel
