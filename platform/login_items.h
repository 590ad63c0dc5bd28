#pragma once

#include <QString>

namespace vantrel {

// Programs started when the user logs in.
class LoginItems {
public:
    virtual ~LoginItems() = default;

    // Registers (or removes) the login item of the helper bundle with this identifier.
    // False when the change could not be made.
    virtual bool setEnabled(const QString& bundleIdentifier, bool enabled) = 0;
};

} // namespace vantrel
