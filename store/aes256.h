#pragma once

#include "platform/one_shot_cipher.h"

#include <cstdint>
#include <QByteArray>

namespace vantrel {

// AES-256-CBC with PKCS#7 padding under one key and one initialisation vector.
class AES256 {
public:
    struct Error {
        enum class Kind { keyGeneration, cryptoFailed, badKeyLength, badInputVectorLength };
        Kind kind;
        std::int32_t status = 0; // the cipher call's status, for keyGeneration and cryptoFailed
    };

    static constexpr qsizetype keyLength = 32;
    static constexpr qsizetype ivLength = 16;

    // Throws Error badKeyLength or badInputVectorLength; the key is checked first.
    AES256(QByteArray key, QByteArray iv);

    // Throw Error cryptoFailed with the cipher call's status.
    QByteArray encrypt(const QByteArray& data) const;
    QByteArray decrypt(const QByteArray& data) const;
    QByteArray crypt(const QByteArray& data, CipherOperation operation) const;

    const QByteArray& key() const { return m_key; }
    const QByteArray& iv() const { return m_iv; }

private:
    QByteArray m_key;
    QByteArray m_iv;
};

} // namespace vantrel
