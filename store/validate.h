#pragma once

#include "store/aes256.h"

#include <optional>
#include <QStringList>

namespace vantrel {

// Builds the program's one cipher from the built-in key and initialisation vector, once.
class Validate {
public:
    static const Validate& shared();

    // Exposed so that tests can check how bad built-in values are handled.
    Validate(const QStringList& ivCharacters, const QStringList& keyCharacters);

    const std::optional<AES256>& aes256() const { return m_aes256; }

private:
    std::optional<AES256> m_aes256;
};

} // namespace vantrel
