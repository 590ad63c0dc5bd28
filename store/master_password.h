#pragma once

#include <QString>

namespace vantrel {

class Validate;

// The stored master password; the empty text when none is stored or it cannot be read back.
QString readMasterPassword();
// Stores the password enciphered in place of the old one; when enciphering is impossible, the
// stored password is cleared instead. True only when the new password is stored: on false the
// caller must not tell the user it was saved.
bool writeMasterPassword(const QString& password);

// The same with a given cipher, for tests of a broken built-in key.
QString readMasterPassword(const Validate& validate);
bool writeMasterPassword(const QString& password, const Validate& validate);

// Typed and stored passwords compare equal when they are canonically equivalent.
bool passwordsMatch(const QString& typed, const QString& stored);

} // namespace vantrel
