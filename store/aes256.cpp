#include "store/aes256.h"

namespace vantrel {

AES256::AES256(QByteArray key, QByteArray iv)
    : m_key(std::move(key))
    , m_iv(std::move(iv))
{
    if (m_key.size() != keyLength) {
        throw Error{Error::Kind::badKeyLength};
    }
    if (m_iv.size() != ivLength) {
        throw Error{Error::Kind::badInputVectorLength};
    }
}

QByteArray AES256::encrypt(const QByteArray& data) const
{
    return crypt(data, CipherOperation::Encrypt);
}

QByteArray AES256::decrypt(const QByteArray& data) const
{
    return crypt(data, CipherOperation::Decrypt);
}

QByteArray AES256::crypt(const QByteArray& data, CipherOperation operation) const
{
    QByteArray buffer(data.size() + 16, '\0');
    std::size_t moved = 0;
    const std::int32_t status = aesCbcCrypt(operation, m_key, m_iv, data, buffer, moved);
    if (status != 0) {
        throw Error{Error::Kind::cryptoFailed, status};
    }
    buffer.truncate(static_cast<qsizetype>(moved));
    return buffer;
}

} // namespace vantrel
