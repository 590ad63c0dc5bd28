#include "platform/binary_plist_keys.h"
#include "platform/keyed_archive.h"
#include "platform/property_list.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QPoint>
#include <QSize>
#include <QTimeZone>

using namespace vantrel;

namespace {

std::optional<QVariant> roundTrip(const QVariant& value) {
    const auto bytes = serializeBinaryPropertyList(value);
    if (!bytes)
        return std::nullopt;
    return parsePropertyList(*bytes);
}

} // namespace

TEST(PropertyList, ScalarsRoundTrip) {
    EXPECT_EQ(roundTrip(true), QVariant(true));
    EXPECT_EQ(roundTrip(QVariant(qint64(0))), QVariant(qint64(0)));
    EXPECT_EQ(roundTrip(QVariant(qint64(-42))), QVariant(qint64(-42)));
    EXPECT_EQ(roundTrip(QVariant(std::numeric_limits<qint64>::max())),
              QVariant(std::numeric_limits<qint64>::max()));
    EXPECT_EQ(roundTrip(2.5), QVariant(2.5));
    EXPECT_EQ(roundTrip(QStringLiteral("ü ✓")), QVariant(QStringLiteral("ü ✓")));
    const QByteArray data("\0\x01\xff", 3);
    EXPECT_EQ(roundTrip(data), QVariant(data));
}

TEST(PropertyList, DatesRoundTripAgainstTheReferenceDate) {
    const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    const QDateTime later(QDate(2024, 2, 29), QTime(13, 14, 15), QTimeZone::utc());
    const QDateTime earlier(QDate(1990, 5, 6), QTime(7, 8, 9), QTimeZone::utc());
    for (const QDateTime& d : {reference, later, earlier}) {
        const auto back = roundTrip(d);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->toDateTime(), d);
    }
}

TEST(PropertyList, NestedContainersRoundTrip) {
    const QVariantMap map{{QStringLiteral("list"), QVariantList{1LL, QStringLiteral("x"), false}},
                          {QStringLiteral("inner"), QVariantMap{{QStringLiteral("k"), 1.5}}},
                          {QStringLiteral("empty"), QVariantList{}}};
    const auto back = roundTrip(map);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toMap(), map);
}

TEST(PropertyList, ParsesXml) {
    const QByteArray xml = R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>a</key><integer>7</integer><key>b</key><string>s</string></dict></plist>)";
    const auto parsed = parsePropertyList(xml);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->toMap().value(QStringLiteral("a")), QVariant(qint64(7)));
    EXPECT_EQ(parsed->toMap().value(QStringLiteral("b")), QVariant(QStringLiteral("s")));
}

TEST(PropertyList, RejectsGarbageAndUids) {
    EXPECT_FALSE(parsePropertyList(QByteArray()));
    EXPECT_FALSE(parsePropertyList(QByteArray("bplist00 garbage")));
    const auto good = serializeBinaryPropertyList(QVariantList{1LL, 2LL});
    ASSERT_TRUE(good);
    EXPECT_FALSE(parsePropertyList(good->left(good->size() - 4)));
    // A keyed archive holds UIDs, which have no QVariant form.
    const QByteArray uid = archiveString(QStringLiteral("x"));
    EXPECT_FALSE(parsePropertyList(uid));
}

TEST(PropertyList, RejectsUnsupportedAndTooDeepValues) {
    EXPECT_FALSE(serializeBinaryPropertyList(QVariant()));
    EXPECT_FALSE(serializeBinaryPropertyList(QVariant(QSize(1, 2))));
    EXPECT_FALSE(serializeBinaryPropertyList(QVariantList{QVariant(1LL), QVariant(QPoint())}));
    EXPECT_FALSE(serializeBinaryPropertyList(QDateTime()));

    QVariant deep = QVariantList{};
    for (int i = 0; i < 2000; ++i)
        deep = QVariantList{deep};
    EXPECT_FALSE(serializeBinaryPropertyList(deep));
}

TEST(PropertyList, RejectsNestingBeyondTheBound) {
    auto nested = [](int depth) {
        return QByteArray(R"(<?xml version="1.0"?><plist version="1.0">)") +
               QByteArray("<array>").repeated(depth) + QByteArray("</array>").repeated(depth) +
               QByteArray("</plist>");
    };
    EXPECT_TRUE(parsePropertyList(nested(100)));
    EXPECT_FALSE(parsePropertyList(nested(600)));
}

// Newer libplist reads JSON and OpenStep text as well, where a stray word is a list; settings
// files in those forms are not ours, and must read as corrupt on every libplist we build with.
TEST(PropertyList, RejectsJsonAndOpenStepText) {
    EXPECT_FALSE(parsePropertyList(QByteArray(R"({"isActivateVTR": true})")));
    EXPECT_FALSE(parsePropertyList(QByteArray("[1, 2]")));
    EXPECT_FALSE(parsePropertyList(QByteArray("{ isActivateVTR = 1; }")));
    EXPECT_FALSE(parsePropertyList(QByteArray("(a, b)")));
    EXPECT_FALSE(parsePropertyList(QByteArray("word")));
}

// libplist aborts when it hands out a dictionary key with a NUL in it; such lists read as
// corrupt instead. A NUL inside a value is libplist's to read.
TEST(PropertyList, DictionaryKeysWithANulAreRefusedNotFatal) {
    const QByteArray asciiKey = QByteArray::fromHex(
        "62706c6973743030d10102536100621001080b0f00000000000001010000000000000003000000000000"
        "00000000000000000011");
    const QByteArray nestedUtf16Key = QByteArray::fromHex(
        "62706c6973743030d10102516bd103046200fc00005176080b0d1015000000000000010100000000000000"
        "0500000000000000000000000000000017");
    const QByteArray nulInAValue = QByteArray::fromHex(
        "62706c6973743030d10102526f6b53610062080b0e00000000000001010000000000000003000000000000"
        "00000000000000000012");
    EXPECT_FALSE(binaryPlistHasKeyWithNul(nulInAValue));
    EXPECT_TRUE(binaryPlistHasKeyWithNul(asciiKey));
    EXPECT_TRUE(binaryPlistHasKeyWithNul(nestedUtf16Key));
    EXPECT_EQ(parsePropertyList(asciiKey), std::nullopt);
    EXPECT_EQ(parsePropertyList(nestedUtf16Key), std::nullopt);
    EXPECT_TRUE(parsePropertyList(nulInAValue).has_value());

    // Cut or damaged lists are never read past their end.
    for (qsizetype length = 0; length < asciiKey.size(); ++length)
        (void)binaryPlistHasKeyWithNul(asciiKey.left(length));
    // A list too broken to tell is refused.
    QByteArray wild = nulInAValue;
    wild[wild.size() - 9] = '\xff';
    wild[wild.size() - 25] = '\x7f';
    EXPECT_TRUE(binaryPlistHasKeyWithNul(wild));
    // The fuzzer's list whose key libplist finds at an offset inside the header.
    const QByteArray headerKey = QByteArray::fromBase64(
        "YnBsaXN0MDAAAAAAAAABNQgJDG8SdWJVE250XZZzQWN0aXZhdGVWVFJVbmFtZXNWlrGssGJqZWN0dGlvWHNhdmVkSW"
        "RzQ0YkVUlEUWFRYtENDlFrowAACCM/4AAAAAAAAERkYXRhCBUTKQQAAABHSEtNT1JUWFpjZG0AAAAAAAIAAAAAAAAA"
        "AAAAAAAAAAAAAAABAQAAAAAAAAAUAAAAAAAAAAAAAAAAAAAAcg==");
    EXPECT_TRUE(binaryPlistHasKeyWithNul(headerKey));
    EXPECT_EQ(parsePropertyList(headerKey), std::nullopt);
}
