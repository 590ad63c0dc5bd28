#include "platform/keyed_archive.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "store/validate.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QProcess>

using namespace vantrel;
using vantrel::testing::PlatformDoubles;

namespace {

QStringList characters(const QString& text) {
    QStringList result;
    for (const QChar c : text)
        result.append(QString(c));
    return result;
}

class MasterPassword : public ::testing::Test {
protected:
    QVariant stored() const { return doubles.defaults.value(keys::applock); }
    PlatformDoubles doubles;
};

} // namespace

// No password, nothing stored or the empty text: only the empty entry unlocks.
TEST_F(MasterPassword, NothingStoredAndTheEmptyTextReadAsNoPassword) {
    for (const bool emptyStored : {false, true}) {
        if (emptyStored) {
            ASSERT_TRUE(writeMasterPassword(QString()));
        }
        const StoredPassword none = readStoredPassword();
        EXPECT_EQ(none.state, StoredPassword::State::none) << emptyStored;
        EXPECT_FALSE(none.isSet());
        EXPECT_TRUE(none.accepts(QString()));
        EXPECT_FALSE(none.accepts(QStringLiteral("secret")));
        EXPECT_EQ(readMasterPassword(), QString());
    }
}

TEST_F(MasterPassword, RoundTripsEnciphered) {
    const QStringList passwords{QStringLiteral("abc"),
                                QStringLiteral("correct horse battery staple"),
                                QStringLiteral("pässwört ✓ 密码 🔒"), QString(200, u'x')};
    for (const QString& password : passwords) {
        ASSERT_TRUE(writeMasterPassword(password));
        EXPECT_EQ(readMasterPassword(), password);
        const StoredPassword read = readStoredPassword();
        EXPECT_EQ(read.state, StoredPassword::State::readable);
        EXPECT_TRUE(read.accepts(password));
        EXPECT_FALSE(read.accepts(QString()));
        ASSERT_EQ(stored().typeId(), QMetaType::QByteArray);
        const QByteArray cipherText = stored().toByteArray();
        EXPECT_EQ(cipherText.size() % 16, 0);
        EXPECT_FALSE(cipherText.contains(password.toUtf8())) << "never in the clear";
        EXPECT_FALSE(cipherText.contains("NSKeyedArchiver")) << "the archive is enciphered too";
        EXPECT_EQ(Validate::shared().aes256()->decrypt(cipherText), archiveString(password));

        ASSERT_TRUE(writeMasterPassword(password));
        EXPECT_EQ(stored().toByteArray(), cipherText) << "same password, same bytes";
    }
    ASSERT_TRUE(writeMasterPassword(QStringLiteral("other")));
    EXPECT_EQ(readMasterPassword(), QStringLiteral("other")) << "a new password replaces the old";
}

// A stored value that cannot be read back is a password nothing matches, never the empty one.
TEST_F(MasterPassword, UnreadableStoredValuesReadAsDamagedAndAcceptNothing) {
    ASSERT_TRUE(writeMasterPassword(QStringLiteral("secret")));
    const QByteArray good = stored().toByteArray();
    QByteArray flipped = good;
    flipped[3] = static_cast<char>(flipped[3] ^ 0x40);
    const AES256 otherKey(QByteArray(32, 'o'), Validate::shared().aes256()->iv());

    const QList<QVariant> unreadable{
        QVariant(QStringLiteral("secret")),
        QVariant(true),
        QVariant(QVariantList{good}),
        QVariant(good.left(15)),
        QVariant(good.left(16)),
        QVariant(flipped),
        QVariant(QByteArray()),
        QVariant(otherKey.encrypt(archiveString(QStringLiteral("secret")))),
        // Deciphers, but the plain text is no archived string.
        QVariant(Validate::shared().aes256()->encrypt("secret")),
        QVariant(Validate::shared().aes256()->encrypt(archiveStringList({QStringLiteral("a")}))),
    };
    for (const QVariant& value : unreadable) {
        doubles.defaults.setValue(keys::applock, value);
        const StoredPassword damaged = readStoredPassword();
        EXPECT_EQ(damaged.state, StoredPassword::State::damaged) << value.typeName();
        EXPECT_TRUE(damaged.isSet());
        for (const QString& typed : {QString(), QStringLiteral("secret")})
            EXPECT_FALSE(damaged.accepts(typed)) << value.typeName() << " " << typed.toStdString();
        EXPECT_EQ(readMasterPassword(), QString()) << value.typeName();
        EXPECT_EQ(stored(), value) << "reading leaves it in place";
    }
}

TEST_F(MasterPassword, RefusedWriteKeepsTheOldPasswordAndSaysSo) {
    ASSERT_TRUE(writeMasterPassword(QStringLiteral("old")));
    doubles.defaults.refusesWrites = true;
    EXPECT_FALSE(writeMasterPassword(QStringLiteral("new")));
    doubles.defaults.refusesWrites = false;
    EXPECT_EQ(readMasterPassword(), QStringLiteral("old"));
}

TEST_F(MasterPassword, WithoutACipherNothingCanBeStoredOrRead) {
    ASSERT_TRUE(writeMasterPassword(QStringLiteral("secret")));
    const Validate broken(characters(QStringLiteral("not*base64==")),
                          characters(QStringLiteral("also not")));
    ASSERT_FALSE(broken.aes256());
    EXPECT_EQ(readStoredPassword(broken).state, StoredPassword::State::damaged);
    EXPECT_FALSE(readStoredPassword(broken).accepts(QString()));

    EXPECT_FALSE(writeMasterPassword(QStringLiteral("new"), broken));
    EXPECT_FALSE(stored().isValid()) << "the old password is cleared, not left in force";
    EXPECT_EQ(readStoredPassword().state, StoredPassword::State::none);
    EXPECT_EQ(readStoredPassword(broken).state, StoredPassword::State::none);
}

TEST(PasswordsMatch, CanonicallyEquivalentTextsAreEqual) {
    const QString precomposed = QStringLiteral("caf\u00e9");
    const QString decomposed = QStringLiteral("cafe\u0301");
    EXPECT_TRUE(passwordsMatch(precomposed, decomposed));
    EXPECT_TRUE(passwordsMatch(decomposed, precomposed));
    EXPECT_TRUE(passwordsMatch(QStringLiteral("\u212b"), QStringLiteral("\u00c5"))) << "Angstrom";
    // Combining marks in another order that is canonically the same.
    EXPECT_TRUE(passwordsMatch(QStringLiteral("a\u0323\u0301"), QStringLiteral("a\u0301\u0323")));

    EXPECT_TRUE(passwordsMatch(QStringLiteral("abc"), QStringLiteral("abc")));
    EXPECT_FALSE(passwordsMatch(QStringLiteral("abc"), QStringLiteral("abd")));
    EXPECT_FALSE(passwordsMatch(QStringLiteral("abc"), QStringLiteral("ABC")));
    EXPECT_FALSE(passwordsMatch(QStringLiteral("abc"), QStringLiteral("abc ")));
    EXPECT_FALSE(passwordsMatch(precomposed, QStringLiteral("cafe")));
    // Only compatibility equivalents: different passwords.
    EXPECT_FALSE(passwordsMatch(QStringLiteral("\ufb01"), QStringLiteral("fi")));
    EXPECT_FALSE(passwordsMatch(QStringLiteral("\u00b2"), QStringLiteral("2")));
}

// The stored form of the master password is a file format: every user's settings hold it. These
// pin the key, the vector, the padding and the archive layout byte for byte.
namespace {

const QString kKnownPassword = QStringLiteral("Vantrel-KAT: pässwört 🔒");
const QByteArray kKnownStoredBytes = QByteArray::fromHex(
    "699907bb977fba6f8587435ca65aa20f6dd12bac725ddf69624f946ea98aaad41431bcd3c5c234ea181e6a80407b"
    "c9309c87272dc426534f9e15f78c0b12c0802646e506afa3fa005f4c9732db790f08c9d03d082930f34dac15c11b"
    "52de8c45883dc1655759f8d0ad75f454c8877f8f3f98cae3d985908781f924506ef0880de6b7c53c0c27a7efd7cb"
    "354eb5ee52f2786f5e4e5dd564bf829023e5cbef9b49de496bcc70415b13b37bdf331e0b1d5ea151dc87f451dffd"
    "f67ac6b411c2fb54");
// The built-in cipher's values, written out here rather than derived from the program's.
const char* const kKeyHex = "68fcc1cb5322b8e943e956503afb94ea01662f9cdd3fea8ad864398a23879541";
const char* const kIvHex = "8ae0bc723916eb695316583f2e564ff7";

} // namespace

TEST_F(MasterPassword, KnownPasswordIsStoredAsExactlyTheseBytesAndReadBack) {
    ASSERT_TRUE(writeMasterPassword(kKnownPassword));
    EXPECT_EQ(stored().toByteArray().toHex(), kKnownStoredBytes.toHex());

    doubles.defaults.setValue(keys::applock, kKnownStoredBytes);
    EXPECT_EQ(readMasterPassword(), kKnownPassword);
}

// Bytes made by another tool (Python's plistlib for the archive, OpenSSL's command line for the
// cipher) read back: the format is the platform's, not only ours.
TEST_F(MasterPassword, BytesWrittenByAnIndependentToolReadBack) {
    const QString script = QStringLiteral(R"(
import plistlib, subprocess, sys
archive = {"$version": 100000, "$archiver": "NSKeyedArchiver", "$top": {"root": plistlib.UID(1)},
           "$objects": ["$null", sys.argv[1]]}
plain = plistlib.dumps(archive, fmt=plistlib.FMT_BINARY)
cipher = subprocess.run(["openssl", "enc", "-aes-256-cbc", "-K", sys.argv[2], "-iv", sys.argv[3]],
                        input=plain, capture_output=True, check=True).stdout
sys.stdout.write(cipher.hex())
)");
    for (const QString& password : {kKnownPassword, QStringLiteral("plain ascii"),
                                    QStringLiteral("密码 with a longer tail to span blocks")}) {
        QProcess tool;
        tool.start(QStringLiteral("python3"),
                   {QStringLiteral("-c"), script, password, QString::fromLatin1(kKeyHex),
                    QString::fromLatin1(kIvHex)});
        ASSERT_TRUE(tool.waitForFinished(30000));
        ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        const QByteArray bytes = QByteArray::fromHex(tool.readAllStandardOutput());
        ASSERT_FALSE(bytes.isEmpty());
        doubles.defaults.setValue(keys::applock, bytes);
        EXPECT_EQ(readMasterPassword(), password);
    }
}
