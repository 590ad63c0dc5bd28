#include "platform/one_shot_cipher.h"
#include "store/aes256.h"
#include "store/validate.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

QByteArray bytes(qsizetype count, char fill = 'k') {
    return QByteArray(count, fill);
}

AES256 testCipher() {
    return AES256(bytes(32), bytes(16, 'v'));
}

AES256::Error::Kind constructionError(qsizetype keyLength, qsizetype ivLength) {
    try {
        AES256 cipher(bytes(keyLength), bytes(ivLength));
    } catch (const AES256::Error& error) {
        return error.kind;
    }
    ADD_FAILURE() << "no error for key " << keyLength << " and iv " << ivLength;
    return AES256::Error::Kind::keyGeneration;
}

std::optional<AES256::Error> decryptError(const AES256& cipher, const QByteArray& data) {
    try {
        cipher.decrypt(data);
    } catch (const AES256::Error& error) {
        return error;
    }
    return std::nullopt;
}

QStringList characters(const QString& text) {
    QStringList result;
    for (const QChar c : text)
        result.append(QString(c));
    return result;
}

const QString kIv = QStringLiteral("AAECAwQFBgcICQoLDA0ODw==");
const QString kKey = QStringLiteral("YD3rEBXKcb4rc67whX13gR81LAc7YQjXLZgQowkU3/Q=");

} // namespace

TEST(AES256, ChecksTheKeyBeforeTheVector) {
    using Kind = AES256::Error::Kind;
    EXPECT_EQ(constructionError(31, 15), Kind::badKeyLength);
    EXPECT_EQ(constructionError(33, 16), Kind::badKeyLength);
    EXPECT_EQ(constructionError(16, 16), Kind::badKeyLength) << "AES-128 keys are not accepted";
    EXPECT_EQ(constructionError(0, 0), Kind::badKeyLength);
    EXPECT_EQ(constructionError(32, 15), Kind::badInputVectorLength);
    EXPECT_EQ(constructionError(32, 17), Kind::badInputVectorLength);
    EXPECT_NO_THROW(testCipher());
}

TEST(AES256, MatchesTheStandardTestVector) {
    // CBC-AES256 example of NIST SP 800-38A, F.2.5.
    const AES256 cipher(QByteArray::fromHex("603deb1015ca71be2b73aef0857d7781"
                                            "1f352c073b6108d72d9810a30914dff4"),
                        QByteArray::fromHex("000102030405060708090a0b0c0d0e0f"));
    const QByteArray plain = QByteArray::fromHex("6bc1bee22e409f96e93d7e117393172a"
                                                 "ae2d8a571e03ac9c9eb76fac45af8e51");
    const QByteArray encrypted = cipher.encrypt(plain);
    ASSERT_EQ(encrypted.size(), 48) << "a whole block of padding after 32 bytes";
    EXPECT_EQ(encrypted.left(32).toHex(), QByteArray("f58c4c04d6e5f1ba779eabfb5f7bfbd6"
                                                     "9cfc4e967edb808d679f777bc6702c7d"));
    EXPECT_EQ(cipher.decrypt(encrypted), plain);
}

TEST(AES256, PadsToWholeBlocksAndRoundTrips) {
    const AES256 cipher = testCipher();
    for (const qsizetype length : {0, 1, 15, 16, 17, 31, 32, 1000}) {
        const QByteArray plain = bytes(length, 'p');
        const QByteArray encrypted = cipher.encrypt(plain);
        EXPECT_EQ(encrypted.size(), 16 * (length / 16 + 1)) << length;
        EXPECT_EQ(cipher.decrypt(encrypted), plain) << length;
        EXPECT_EQ(cipher.crypt(plain, CipherOperation::Encrypt), encrypted) << "deterministic";
    }
    EXPECT_EQ(cipher.decrypt(cipher.encrypt(QByteArray())), QByteArray());

    // Copies are independent values that encipher alike.
    const AES256 copy = cipher;
    EXPECT_EQ(copy.encrypt("abc"), cipher.encrypt("abc"));
    EXPECT_EQ(copy.key(), bytes(32));
    EXPECT_NE(AES256(bytes(32, 'o'), bytes(16, 'v')).encrypt("abc"), cipher.encrypt("abc"));
}

TEST(AES256, DamagedCipherTextFails) {
    const AES256 cipher = testCipher();
    const QByteArray encrypted = cipher.encrypt(bytes(16, 'p'));

    for (const QByteArray& damaged :
         {encrypted.left(15), encrypted.left(31), encrypted + 'x', QByteArray()}) {
        const auto error = decryptError(cipher, damaged);
        ASSERT_TRUE(error) << damaged.size();
        EXPECT_EQ(error->kind, AES256::Error::Kind::cryptoFailed);
        EXPECT_NE(error->status, 0);
    }

    // The first block alone deciphers to the plain block, whose last byte is no valid padding.
    const QByteArray zeroEnded = cipher.encrypt(QByteArray(16, '\0')).left(16);
    const auto badPadding = decryptError(cipher, zeroEnded);
    ASSERT_TRUE(badPadding);
    EXPECT_EQ(badPadding->kind, AES256::Error::Kind::cryptoFailed);
    EXPECT_NE(badPadding->status, 0);
}

TEST(OneShotCipher, RefusesBadParametersWithoutWriting) {
    QByteArray out(64, 'z');
    std::size_t moved = 99;
    EXPECT_NE(aesCbcCrypt(CipherOperation::Encrypt, bytes(31), bytes(16), "abc", out, moved), 0);
    EXPECT_EQ(moved, 0u);
    EXPECT_NE(aesCbcCrypt(CipherOperation::Encrypt, bytes(32), bytes(8), "abc", out, moved), 0);

    QByteArray small(16, 'z');
    EXPECT_NE(aesCbcCrypt(CipherOperation::Encrypt, bytes(32), bytes(16), bytes(16), small, moved),
              0)
        << "32 bytes of output do not fit in 16";
    EXPECT_EQ(small, QByteArray(16, 'z'));
    EXPECT_EQ(aesCbcCrypt(CipherOperation::Encrypt, bytes(32), bytes(16), bytes(15), small, moved),
              0);
    EXPECT_EQ(moved, 16u);
}

TEST(Validate, BuildsTheBuiltInCipher) {
    const Validate& shared = Validate::shared();
    ASSERT_TRUE(shared.aes256());
    EXPECT_EQ(shared.aes256()->key().size(), 32);
    EXPECT_EQ(shared.aes256()->iv().size(), 16);
    EXPECT_EQ(&shared, &Validate::shared());

    const Validate fromText(characters(kIv), characters(kKey));
    ASSERT_TRUE(fromText.aes256());
    EXPECT_EQ(fromText.aes256()->iv(), QByteArray::fromHex("000102030405060708090a0b0c0d0e0f"));
    EXPECT_EQ(fromText.aes256()->key().toHex(),
              QByteArray("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4"));
}

TEST(Validate, LeavesTheCipherAbsentForBadBuiltInValues) {
    const auto cipherFor = [](const QString& iv, const QString& key) {
        return Validate(characters(iv), characters(key)).aes256().has_value();
    };
    const QString keyNoPadding = kKey.chopped(1);
    QString keyWithStar = kKey;
    keyWithStar[3] = u'*';
    QString keyWithAccent = kKey;
    keyWithAccent[3] = QChar(0xe9);
    QString keyWithSpace = kKey;
    keyWithSpace[3] = u' ';

    EXPECT_FALSE(cipherFor(kIv, keyWithStar)) << "a character outside the alphabet";
    EXPECT_FALSE(cipherFor(kIv, keyWithAccent));
    EXPECT_FALSE(cipherFor(kIv, keyWithSpace));
    EXPECT_FALSE(cipherFor(kIv, kKey + u'\n'));
    EXPECT_FALSE(cipherFor(kIv, keyNoPadding)) << "missing padding";
    EXPECT_FALSE(cipherFor(kIv.left(22), kKey));
    EXPECT_FALSE(cipherFor(kIv, kKey.left(40) + QStringLiteral("=AAA"))) << "padding inside";
    EXPECT_FALSE(cipherFor(kIv, kKey + QStringLiteral("===="))) << "padding beyond the end";
    EXPECT_FALSE(cipherFor(kIv, QString())) << "no key at all";
    // Sound Base64 of the wrong lengths fails at construction.
    EXPECT_FALSE(cipherFor(kIv, QString::fromLatin1(bytes(31).toBase64())));
    EXPECT_FALSE(cipherFor(QString::fromLatin1(bytes(15).toBase64()), kKey));
    EXPECT_TRUE(cipherFor(kIv, kKey));
}
