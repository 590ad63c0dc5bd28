#pragma once

#include <cstddef>
#include <cstdint>
#include <QByteArray>
#include <QByteArrayView>

namespace vantrel {

enum class CipherOperation : std::uint32_t { Encrypt = 0, Decrypt = 1 };

// One-shot AES-CBC with PKCS#7 padding; the key length selects AES-128, -192 or -256.
// Writes at most out.size() bytes into out and reports in moved how many it wrote.
// Returns 0 on success and a non-zero status on any failure (bad key or IV length, output too
// small, input not a whole number of blocks or bad padding when deciphering).
std::int32_t aesCbcCrypt(CipherOperation operation, QByteArrayView key, QByteArrayView iv,
                         QByteArrayView input, QByteArray& out, std::size_t& moved);

} // namespace vantrel
