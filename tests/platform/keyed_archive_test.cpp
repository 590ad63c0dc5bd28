#include "platform/keyed_archive.h"
#include "platform/plist_io.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <plist/plist.h>

using namespace vantrel;

namespace {

// Written by Python's plistlib: shared string object, NSMutableArray and an NSMutableString dict.
const unsigned char kPlistlibArchive[] = {
    0x62, 0x70, 0x6c, 0x69, 0x73, 0x74, 0x30, 0x30, 0xd4, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x20,
    0x23, 0x59, 0x24, 0x61, 0x72, 0x63, 0x68, 0x69, 0x76, 0x65, 0x72, 0x58, 0x24, 0x6f, 0x62, 0x6a,
    0x65, 0x63, 0x74, 0x73, 0x54, 0x24, 0x74, 0x6f, 0x70, 0x58, 0x24, 0x76, 0x65, 0x72, 0x73, 0x69,
    0x6f, 0x6e, 0x5f, 0x10, 0x0f, 0x4e, 0x53, 0x4b, 0x65, 0x79, 0x65, 0x64, 0x41, 0x72, 0x63, 0x68,
    0x69, 0x76, 0x65, 0x72, 0xa6, 0x07, 0x08, 0x10, 0x11, 0x15, 0x1c, 0x55, 0x24, 0x6e, 0x75, 0x6c,
    0x6c, 0xd2, 0x09, 0x0a, 0x0b, 0x0c, 0x56, 0x24, 0x63, 0x6c, 0x61, 0x73, 0x73, 0x5a, 0x4e, 0x53,
    0x2e, 0x6f, 0x62, 0x6a, 0x65, 0x63, 0x74, 0x73, 0x80, 0x04, 0xa3, 0x0d, 0x0e, 0x0f, 0x80, 0x02,
    0x80, 0x03, 0x80, 0x02, 0x5f, 0x10, 0x10, 0x63, 0x6f, 0x6d, 0x2e, 0x65, 0x78, 0x61, 0x6d, 0x70,
    0x6c, 0x65, 0x2e, 0x4d, 0x61, 0x69, 0x6c, 0xd2, 0x09, 0x12, 0x13, 0x14, 0x59, 0x4e, 0x53, 0x2e,
    0x73, 0x74, 0x72, 0x69, 0x6e, 0x67, 0x80, 0x05, 0x67, 0x00, 0xdc, 0x00, 0x6e, 0x00, 0xef, 0x00,
    0x63, 0x00, 0x6f, 0x00, 0x64, 0x00, 0x65, 0xd2, 0x16, 0x17, 0x18, 0x19, 0x58, 0x24, 0x63, 0x6c,
    0x61, 0x73, 0x73, 0x65, 0x73, 0x5a, 0x24, 0x63, 0x6c, 0x61, 0x73, 0x73, 0x6e, 0x61, 0x6d, 0x65,
    0xa3, 0x19, 0x1a, 0x1b, 0x5e, 0x4e, 0x53, 0x4d, 0x75, 0x74, 0x61, 0x62, 0x6c, 0x65, 0x41, 0x72,
    0x72, 0x61, 0x79, 0x57, 0x4e, 0x53, 0x41, 0x72, 0x72, 0x61, 0x79, 0x58, 0x4e, 0x53, 0x4f, 0x62,
    0x6a, 0x65, 0x63, 0x74, 0xd2, 0x16, 0x17, 0x1d, 0x1e, 0xa3, 0x1e, 0x1f, 0x1b, 0x5f, 0x10, 0x0f,
    0x4e, 0x53, 0x4d, 0x75, 0x74, 0x61, 0x62, 0x6c, 0x65, 0x53, 0x74, 0x72, 0x69, 0x6e, 0x67, 0x58,
    0x4e, 0x53, 0x53, 0x74, 0x72, 0x69, 0x6e, 0x67, 0xd1, 0x21, 0x22, 0x54, 0x72, 0x6f, 0x6f, 0x74,
    0x80, 0x01, 0x12, 0x00, 0x01, 0x86, 0xa0, 0x00, 0x08, 0x00, 0x11, 0x00, 0x1b, 0x00, 0x24, 0x00,
    0x29, 0x00, 0x32, 0x00, 0x44, 0x00, 0x4b, 0x00, 0x51, 0x00, 0x56, 0x00, 0x5d, 0x00, 0x68, 0x00,
    0x6a, 0x00, 0x6e, 0x00, 0x70, 0x00, 0x72, 0x00, 0x74, 0x00, 0x87, 0x00, 0x8c, 0x00, 0x96, 0x00,
    0x98, 0x00, 0xa7, 0x00, 0xac, 0x00, 0xb5, 0x00, 0xc0, 0x00, 0xc4, 0x00, 0xd3, 0x00, 0xdb, 0x00,
    0xe4, 0x00, 0xe9, 0x00, 0xed, 0x00, 0xff, 0x01, 0x08, 0x01, 0x0b, 0x01, 0x10, 0x01, 0x12, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x24, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x17};

QByteArray plistlibArchive() {
    return QByteArray(reinterpret_cast<const char*>(kPlistlibArchive), sizeof kPlistlibArchive);
}

using Plist = std::unique_ptr<void, void (*)(plist_t)>;

// Re-encodes a valid archive after letting the test damage its top-level dictionary.
QByteArray tampered(const QByteArray& archive, const std::function<void(plist_t)>& damage) {
    Plist root(plistFromBytes(archive), &plist_free);
    damage(root.get());
    return plistToBinary(root.get());
}

plist_t objectAt(plist_t root, uint32_t i) {
    return plist_array_get_item(plist_dict_get_item(root, "$objects"), i);
}

const QStringList kList{QStringLiteral("com.example.Mail"), QStringLiteral("org.Ünï"),
                        QStringLiteral("com.example.Mail"), QString()};

} // namespace

TEST(KeyedArchive, RoundTrips) {
    EXPECT_EQ(unarchiveStringList(archiveStringList(kList)), kList);
    EXPECT_EQ(unarchiveStringList(archiveStringList({})), QStringList());
    EXPECT_EQ(unarchiveString(archiveString(QStringLiteral("héllo"))), QStringLiteral("héllo"));
    EXPECT_EQ(unarchiveString(archiveString(QString())), QString());
}

TEST(KeyedArchive, WrittenLayoutMatchesTheArchiver) {
    const QByteArray bytes = archiveStringList({QStringLiteral("a")});
    ASSERT_TRUE(bytes.startsWith("bplist00"));
    Plist root(plistFromBytes(bytes), &plist_free);
    ASSERT_TRUE(root);
    uint64_t version = 0;
    plist_get_uint_val(plist_dict_get_item(root.get(), "$version"), &version);
    EXPECT_EQ(version, 100000u);
    EXPECT_EQ(plist_string_val_compare(objectAt(root.get(), 0), "$null"), 0);
    plist_t cls = objectAt(root.get(), 3);
    EXPECT_EQ(plist_string_val_compare(plist_dict_get_item(cls, "$classname"), "NSArray"), 0);
}

TEST(KeyedArchive, ReadsArchiveFromPlistlibWithSharedAndDictStrings) {
    const auto list = unarchiveStringList(plistlibArchive());
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, (QStringList{QStringLiteral("com.example.Mail"), QStringLiteral("Ünïcode"),
                                  QStringLiteral("com.example.Mail")}));
    EXPECT_FALSE(unarchiveString(plistlibArchive())); // root is an array, not a string
}

TEST(KeyedArchive, RejectsDamagedBytes) {
    const QByteArray good = archiveStringList(kList);
    EXPECT_FALSE(unarchiveStringList(QByteArray()));
    EXPECT_FALSE(unarchiveStringList(good.left(good.size() / 2)));
    EXPECT_FALSE(unarchiveStringList(good.left(good.size() - 1)));
    EXPECT_FALSE(unarchiveString(archiveString(QStringLiteral("x")).chopped(3)));
    EXPECT_FALSE(unarchiveStringList(QByteArray("not a plist at all")));
}

TEST(KeyedArchive, RejectsWrongHeader) {
    const QByteArray good = archiveStringList(kList);
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) {
        plist_dict_set_item(r, "$archiver", plist_new_string("NSArchiver"));
    })));
    EXPECT_FALSE(
        unarchiveStringList(tampered(good, [](plist_t r) { plist_dict_remove_item(r, "$top"); })));
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) {
        plist_array_set_item(plist_dict_get_item(r, "$objects"), plist_new_string("null"), 0);
    })));
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) {
        plist_dict_set_item(plist_dict_get_item(r, "$top"), "root", plist_new_uint(1));
    })));
}

TEST(KeyedArchive, RejectsBadReferences) {
    const QByteArray good = archiveStringList({QStringLiteral("a"), QStringLiteral("b")});
    auto member = [&](plist_t replacement) {
        return tampered(good, [&](plist_t r) {
            plist_array_set_item(plist_dict_get_item(objectAt(r, 1), "NS.objects"), replacement, 1);
        });
    };
    EXPECT_FALSE(unarchiveStringList(member(plist_new_uid(99))));         // out of range
    EXPECT_FALSE(unarchiveStringList(member(plist_new_uid(0))));          // "$null"
    EXPECT_FALSE(unarchiveStringList(member(plist_new_uid(1))));          // the array itself
    EXPECT_FALSE(unarchiveStringList(member(plist_new_uid(4))));          // the class dict
    EXPECT_FALSE(unarchiveStringList(member(plist_new_uid(UINT64_MAX)))); // absurd
    EXPECT_FALSE(unarchiveStringList(member(plist_new_uint(2))));         // a number, not a UID
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) {
        plist_dict_set_item(plist_dict_get_item(r, "$top"), "root", plist_new_uid(7));
    })));
}

TEST(KeyedArchive, RejectsWrongObjectShapes) {
    const QByteArray good = archiveStringList({QStringLiteral("a")});
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) { // number inside the array
        plist_array_set_item(plist_dict_get_item(r, "$objects"), plist_new_uint(5), 2);
    })));
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) {
        plist_dict_set_item(objectAt(r, 3), "$classname", plist_new_string("NSDictionary"));
    })));
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) {
        plist_dict_set_item(objectAt(r, 1), "$class", plist_new_uid(2)); // class is a string
    })));
    EXPECT_FALSE(unarchiveStringList(tampered(good, [](plist_t r) {
        plist_dict_set_item(objectAt(r, 1), "NS.objects", plist_new_string("a"));
    })));

    // A plain array of strings is a property list but not an archive.
    plist_t plain = plist_new_array();
    plist_array_append_item(plain, plist_new_string("a"));
    const QByteArray plainBytes = plistToBinary(plain);
    plist_free(plain);
    EXPECT_FALSE(unarchiveStringList(plainBytes));
    EXPECT_FALSE(unarchiveString(plainBytes));

    EXPECT_FALSE(unarchiveString(good)); // array where a string is needed
    EXPECT_FALSE(unarchiveStringList(archiveString(QStringLiteral("a"))));
}
