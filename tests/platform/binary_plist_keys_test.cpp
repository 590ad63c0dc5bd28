// The check of dictionary keys reads hostile lists before libplist does, so its work must follow
// the file's size, however often the list's objects share or overlap each other's bytes.
#include "platform/binary_plist_keys.h"

#include <gtest/gtest.h>
#include <QList>

using namespace vantrel;

namespace {

constexpr qsizetype kObjectsStart = 8; // after "bplist00"

void appendBigEndian(QByteArray& bytes, quint64 value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((value >> shift) & 0xff));
}

// A binary list of the given objects' bytes, its object table pointing into them at `offsets`
// (counted from the start of the objects), with four-byte offsets and references of refSize.
QByteArray binaryList(const QByteArray& objects, const QList<quint64>& offsets, int refSize) {
    constexpr int offsetSize = 4;
    QByteArray bytes("bplist00");
    bytes += objects;
    const auto tableOffset = static_cast<quint64>(bytes.size());
    for (const quint64 offset : offsets)
        appendBigEndian(bytes, kObjectsStart + offset, offsetSize);
    bytes += QByteArray(6, '\0');
    appendBigEndian(bytes, offsetSize, 1);
    appendBigEndian(bytes, static_cast<quint64>(refSize), 1);
    appendBigEndian(bytes, static_cast<quint64>(offsets.size()), 8);
    appendBigEndian(bytes, 0, 8); // top object
    appendBigEndian(bytes, tableOffset, 8);
    return bytes;
}

// The marker of a dictionary or string with its item count written after it in countSize bytes.
QByteArray marker(quint8 type, quint32 count, int countSize = 4) {
    QByteArray bytes;
    appendBigEndian(bytes, static_cast<quint64>((type << 4) | 0x0f), 1);
    appendBigEndian(bytes, countSize == 2 ? 0x11 : 0x12, 1);
    appendBigEndian(bytes, count, countSize);
    return bytes;
}

constexpr quint8 kAscii = 0x5;
constexpr quint8 kUtf16 = 0x6;
constexpr quint8 kDictionary = 0xd;

// A dictionary whose keys are objects 0 to count - 1 and whose values are all object 0.
QByteArray dictionaryOfKeys(quint32 count, int refSize) {
    QByteArray bytes = marker(kDictionary, count);
    for (quint32 key = 0; key < count; ++key)
        appendBigEndian(bytes, key, refSize);
    for (quint32 value = 0; value < count; ++value)
        appendBigEndian(bytes, 0, refSize);
    return bytes;
}

// Every entry of the object table is one large dictionary, whose keys are all itself.
QByteArray everyObjectTheSameDictionary(quint32 count) {
    return binaryList(dictionaryOfKeys(count, 2), QList<quint64>(count, 0), 2);
}

// A dictionary whose keys are all one long string, each under another object number.
QByteArray everyKeyTheSameString(quint32 count, quint32 length, char last) {
    QByteArray objects = dictionaryOfKeys(count, 2);
    const auto string = static_cast<quint64>(objects.size());
    objects += marker(kAscii, length) + QByteArray(length - 1, 'k') + last;
    QList<quint64> offsets(count, string);
    offsets[0] = 0;
    return binaryList(objects, offsets, 2);
}

// `count` objects with the same marker one after the other, then `tail` bytes of 1: each object's
// contents run over the markers after it into the tail. Their offsets are appended to `offsets`.
void appendOverlapping(const QByteArray& objectMarker, quint32 count, quint32 tail,
                       QByteArray& objects, QList<quint64>& offsets) {
    for (quint32 i = 0; i < count; ++i) {
        offsets.append(static_cast<quint64>(objects.size()));
        objects += objectMarker;
    }
    objects += QByteArray(tail, '\x01');
}

// Dictionaries with one-byte references that all fit in the tail; every key is one of them.
QByteArray overlappingDictionaries(quint32 count, quint32 tail) {
    QByteArray objects;
    QList<quint64> offsets;
    appendOverlapping(marker(kDictionary, tail / 2), count, tail, objects, offsets);
    return binaryList(objects, offsets, 1);
}

// UTF-16 key strings as long as the tail, so only the last reaches its end. Their markers hold no
// NUL, which would end the check at the first string.
QByteArray overlappingKeyStrings(quint32 count, bool nulAtTheEnd) {
    constexpr quint32 length = 0xfefe;
    QByteArray objects = dictionaryOfKeys(count + 1, 3);
    QList<quint64> offsets{0};
    appendOverlapping(marker(kUtf16, length, 2), count, 2 * length, objects, offsets);
    if (nulAtTheEnd)
        objects.replace(objects.size() - 2, 2, QByteArray(2, '\0'));
    return binaryList(objects, offsets, 3);
}

} // namespace

TEST(BinaryPlistKeys, SharedAndOverlappingObjectsAreReadAFewTimesTheFileSizeAtMost) {
    struct Case {
        const char* name;
        QByteArray bytes;
        bool hasKeyWithNul;
    };
    const QList<Case> cases{
        {"every object the same dictionary", everyObjectTheSameDictionary(4000), false},
        {"every key the same string", everyKeyTheSameString(4000, 40000, 'k'), false},
        {"every key the same string, ending in NUL", everyKeyTheSameString(4000, 40000, '\0'),
         true},
        {"overlapping dictionaries", overlappingDictionaries(4000, 40000), false},
        {"overlapping key strings", overlappingKeyStrings(4000, false), false},
        {"overlapping key strings, the last ending in NUL", overlappingKeyStrings(4000, true),
         true},
    };
    for (const Case& each : cases) {
        quint64 reads = 0;
        EXPECT_EQ(binaryPlistHasKeyWithNul(each.bytes, reads), each.hasKeyWithNul) << each.name;
        // Read in full at every reference to them, these objects took a thousand times the
        // file's size and more; read once, some bytes are looked at a few times: as an offset,
        // as an object's marker, as a key's marker.
        EXPECT_LT(reads, 40 * static_cast<quint64>(each.bytes.size()))
            << each.name << ": " << reads << " bytes read of " << each.bytes.size();
    }
}
