#include "store/master_password.h"

#include "platform/defaults_database.h"
#include "platform/keyed_archive.h"
#include "platform/platform.h"
#include "store/settings.h"
#include "store/validate.h"

namespace vantrel {

bool StoredPassword::accepts(const QString& typed) const {
    return state != State::damaged && passwordsMatch(typed, password);
}

StoredPassword readStoredPassword() {
    return readStoredPassword(Validate::shared());
}

QString damagedPasswordAdvice() {
    return QStringLiteral("The stored password is damaged. See the README to recover.");
}

QString readMasterPassword() {
    return readStoredPassword().password;
}

bool writeMasterPassword(const QString& password) {
    return writeMasterPassword(password, Validate::shared());
}

StoredPassword readStoredPassword(const Validate& validate) {
    const QVariant stored = platform().defaults->value(keys::applock);
    if (!stored.isValid())
        return {};
    const StoredPassword damaged{StoredPassword::State::damaged, {}};
    if (stored.typeId() != QMetaType::QByteArray || !validate.aes256())
        return damaged;
    QByteArray plain;
    try {
        plain = validate.aes256()->decrypt(stored.toByteArray());
    } catch (const AES256::Error&) {
        return damaged;
    }
    const std::optional<QString> password = unarchiveString(plain);
    if (!password)
        return damaged;
    if (password->isEmpty())
        return {};
    return {StoredPassword::State::readable, *password};
}

bool writeMasterPassword(const QString& password, const Validate& validate) {
    if (validate.aes256()) {
        try {
            const QByteArray cipherText = validate.aes256()->encrypt(archiveString(password));
            // A refused write leaves the old password stored; the caller hears of it.
            return platform().defaults->setValue(keys::applock, cipherText);
        } catch (const AES256::Error&) {
        }
    }
    // Never leave an older password in force that the user believes replaced.
    platform().defaults->removeValue(keys::applock);
    return false;
}

bool passwordsMatch(const QString& typed, const QString& stored) {
    return typed.normalized(QString::NormalizationForm_D) ==
           stored.normalized(QString::NormalizationForm_D);
}

} // namespace vantrel
