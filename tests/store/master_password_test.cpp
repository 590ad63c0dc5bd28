#include "platform/keyed_archive.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "store/validate.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>

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

TEST_F(MasterPassword, NothingStoredReadsAsNoPassword) {
    EXPECT_EQ(readMasterPassword(), QString());
}

TEST_F(MasterPassword, RoundTripsEnciphered) {
    const QStringList passwords{QStringLiteral("abc"),
                                QStringLiteral("correct horse battery staple"),
                                QStringLiteral("pässwört ✓ 密码 🔒"), QString(200, u'x')};
    for (const QString& password : passwords) {
        ASSERT_TRUE(writeMasterPassword(password));
        EXPECT_EQ(readMasterPassword(), password);
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

TEST_F(MasterPassword, UnreadableStoredValuesReadAsNoPassword) {
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
    EXPECT_EQ(readMasterPassword(broken), QString());

    EXPECT_FALSE(writeMasterPassword(QStringLiteral("new"), broken));
    EXPECT_FALSE(stored().isValid()) << "the old password is cleared, not left in force";
    EXPECT_EQ(readMasterPassword(), QString());
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
