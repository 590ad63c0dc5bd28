#pragma once

#include <QString>

namespace vantrel {

class Validate;

// What the settings hold as the master password.
struct StoredPassword {
    enum class State {
        none,     // nothing stored, or the empty text: an empty entry unlocks
        readable, // a password of at least one character
        damaged,  // a value that cannot be read back: nothing unlocks until it is deleted
    };
    State state = State::none;
    QString password; // empty unless readable

    // Whether a password guards Vantrel; a damaged one does too, and nothing matches it.
    bool isSet() const { return state != State::none; }
    bool isDamaged() const { return state == State::damaged; }
    // Whether the typed text unlocks: never while the stored value is damaged.
    bool accepts(const QString& typed) const;
};

StoredPassword readStoredPassword();
// What every password prompt says while the stored password is damaged.
QString damagedPasswordAdvice();
// The readable password; the empty text when none is stored or it is damaged.
QString readMasterPassword();
// Stores the password enciphered in place of the old one; when enciphering is impossible, the
// stored password is cleared instead. True only when the new password is stored: on false the
// caller must not tell the user it was saved.
bool writeMasterPassword(const QString& password);

// The same with a given cipher, for tests of a broken built-in key.
StoredPassword readStoredPassword(const Validate& validate);
bool writeMasterPassword(const QString& password, const Validate& validate);

// Typed and stored passwords compare equal when they are canonically equivalent.
bool passwordsMatch(const QString& typed, const QString& stored);

} // namespace vantrel
