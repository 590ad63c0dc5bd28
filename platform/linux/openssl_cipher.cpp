#include "platform/one_shot_cipher.h"

#include <limits>
#include <memory>
#include <openssl/evp.h>

namespace vantrel {

namespace {

// Statuses in the spirit of the platform's one-shot call: 0 is success, anything else failure.
constexpr std::int32_t kSuccess = 0;
constexpr std::int32_t kParamError = -4300;
constexpr std::int32_t kBufferTooSmall = -4301;
constexpr std::int32_t kAlignmentError = -4303;
constexpr std::int32_t kDecodeError = -4304;

constexpr int kBlockSize = 16;

const EVP_CIPHER* cipherForKeyLength(qsizetype length) {
    switch (length) {
    case 16:
        return EVP_aes_128_cbc();
    case 24:
        return EVP_aes_192_cbc();
    case 32:
        return EVP_aes_256_cbc();
    default:
        return nullptr;
    }
}

const unsigned char* bytes(QByteArrayView view) {
    return reinterpret_cast<const unsigned char*>(view.data());
}

} // namespace

std::int32_t aesCbcCrypt(CipherOperation operation, QByteArrayView key, QByteArrayView iv,
                         QByteArrayView input, QByteArray& out, std::size_t& moved) {
    moved = 0;
    const EVP_CIPHER* cipher = cipherForKeyLength(key.size());
    if (cipher == nullptr || iv.size() != kBlockSize ||
        input.size() > std::numeric_limits<int>::max() - kBlockSize) {
        return kParamError;
    }
    const bool decrypting = operation == CipherOperation::Decrypt;
    if (decrypting && input.size() % kBlockSize != 0) {
        return kAlignmentError;
    }
    const qsizetype needed =
        decrypting ? input.size() : (input.size() / kBlockSize + 1) * kBlockSize;
    if (out.size() < needed) {
        return kBufferTooSmall;
    }

    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                            &EVP_CIPHER_CTX_free);
    if (!context || EVP_CipherInit_ex(context.get(), cipher, nullptr, bytes(key), bytes(iv),
                                      decrypting ? 0 : 1) != 1) {
        return kParamError;
    }
    auto* output = reinterpret_cast<unsigned char*>(out.data());
    int written = 0;
    if (EVP_CipherUpdate(context.get(), output, &written, bytes(input),
                         static_cast<int>(input.size())) != 1) {
        return kParamError;
    }
    int finalWritten = 0;
    if (EVP_CipherFinal_ex(context.get(), output + written, &finalWritten) != 1) {
        return decrypting ? kDecodeError : kParamError;
    }
    moved = static_cast<std::size_t>(written) + static_cast<std::size_t>(finalWritten);
    return kSuccess;
}

} // namespace vantrel
