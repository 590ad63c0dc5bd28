#include "platform/binary_plist_keys.h"

#include <algorithm>
#include <vector>

namespace vantrel {

namespace {

constexpr qsizetype kHeaderSize = 8;
constexpr qsizetype kTrailerSize = 32;

class BinaryPlist {
public:
    BinaryPlist(const QByteArray& bytes, quint64& reads)
        : m_bytes(bytes)
        , m_reads(reads) {}

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

    int refSize() const { return m_refSize; }

    // Whether count units of width bytes from `from` lie inside the file. libplist should refuse
    // objects that run past the end, but that is not left to chance.
    bool fits(qsizetype from, quint64 count, int width) const {
        return count <= static_cast<quint64>(m_bytes.size()) &&
               from + static_cast<qsizetype>(count) * width <= m_bytes.size();
    }

    // The object reference at a place that fits.
    quint64 referenceAt(qsizetype at) const { return integer(at, m_refSize).value_or(0); }

    // Whether the unit of width bytes at a place that fits is NUL.
    bool isNulAt(qsizetype at, int width) const {
        return byteAt(at) == 0 && (width == 1 || byteAt(at + 1) == 0);
    }

private:
    int byteAt(qsizetype at) const {
        ++m_reads;
        return at >= 0 && at < m_bytes.size() ? static_cast<quint8>(m_bytes.at(at)) : -1;
    }
    std::optional<quint64> integer(qsizetype at, int size) const {
        m_reads += static_cast<quint64>(size);
        if (at < 0 || at + size > m_bytes.size())
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | static_cast<quint8>(m_bytes.at(at + i));
        return value;
    }

    const QByteArray& m_bytes;
    quint64& m_reads;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    qsizetype m_tableOffset = 0;
};

// Places in the file read in steps of `stride` bytes, in runs that may repeat or overlap, as
// objects that share an offset or lie inside each other's contents do. Each place is visited
// once, so reading them costs no more than the file's size.
class StridedRuns {
public:
    explicit StridedRuns(int stride)
        : m_runsByPhase(static_cast<std::size_t>(stride)) {}

    void add(qsizetype from, quint64 count) {
        const auto stride = static_cast<qsizetype>(m_runsByPhase.size());
        if (count > 0)
            m_runsByPhase[static_cast<std::size_t>(from % stride)].push_back(
                {from, from + static_cast<qsizetype>(count) * stride});
    }

    template <typename Visit> void forEachPlace(Visit visit) {
        const auto stride = static_cast<qsizetype>(m_runsByPhase.size());
        for (std::vector<Run>& runs : m_runsByPhase) {
            // In order of their start, the places of a run before the furthest end so far are
            // visited already.
            std::sort(runs.begin(), runs.end(),
                      [](const Run& a, const Run& b) { return a.begin < b.begin; });
            qsizetype visitedUpTo = 0;
            for (const Run& run : runs) {
                for (qsizetype at = std::max(run.begin, visitedUpTo); at < run.end; at += stride)
                    visit(at);
                visitedUpTo = std::max(visitedUpTo, run.end);
            }
        }
    }

private:
    struct Run {
        qsizetype begin;
        qsizetype end;
    };
    std::vector<std::vector<Run>> m_runsByPhase;
};

constexpr quint8 kAsciiString = 0x5;
constexpr quint8 kUtf16String = 0x6;
constexpr quint8 kDictionary = 0xd;

} // namespace

bool binaryPlistHasKeyWithNul(const QByteArray& bytes) {
    quint64 reads = 0;
    return binaryPlistHasKeyWithNul(bytes, reads);
}

bool binaryPlistHasKeyWithNul(const QByteArray& bytes, quint64& reads) {
    BinaryPlist plist(bytes, reads);
    if (!plist.readTrailer())
        return bytes.startsWith("bplist00"); // too broken to tell: not worth libplist's try
    StridedRuns keyReferences(plist.refSize());
    for (quint64 index = 0; index < plist.objectCount(); ++index) {
        const std::optional<BinaryPlist::Object> object = plist.object(index);
        if (!object || object->type != kDictionary)
            continue;
        // The key references come first, then as many value references.
        if (!plist.fits(object->contents, object->count, plist.refSize()))
            return true;
        keyReferences.add(object->contents, object->count);
    }
    // libplist refuses a reference past the last object, so only those before it are keys.
    std::vector<bool> isKey(plist.objectCount());
    keyReferences.forEachPlace([&](qsizetype at) {
        const quint64 key = plist.referenceAt(at);
        if (key < plist.objectCount())
            isKey[key] = true;
    });

    StridedRuns asciiKeys(1);
    StridedRuns utf16Keys(2);
    for (quint64 key = 0; key < plist.objectCount(); ++key) {
        if (!isKey[key])
            continue;
        const std::optional<BinaryPlist::Object> object = plist.object(key);
        if (!object)
            return true;
        if (object->type != kAsciiString && object->type != kUtf16String)
            continue;
        const int width = object->type == kAsciiString ? 1 : 2;
        if (!plist.fits(object->contents, object->count, width))
            return true;
        (width == 1 ? asciiKeys : utf16Keys).add(object->contents, object->count);
    }
    bool nul = false;
    asciiKeys.forEachPlace([&](qsizetype at) { nul = nul || plist.isNulAt(at, 1); });
    utf16Keys.forEachPlace([&](qsizetype at) { nul = nul || plist.isNulAt(at, 2); });
    return nul;
}

} // namespace vantrel
