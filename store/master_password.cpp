#include "store/master_password.h"

#include "platform/defaults_database.h"
#include "platform/keyed_archive.h"
#include "platform/platform.h"
#include "store/settings.h"
#include "store/validate.h"

namespace vantrel {

QString readMasterPassword() {
    return readMasterPassword(Validate::shared());
}

bool writeMasterPassword(const QString& password) {
    return writeMasterPassword(password, Validate::shared());
}

QString readMasterPassword(const Validate& validate) {
    const QVariant stored = platform().defaults->value(keys::applock);
    if (stored.typeId() != QMetaType::QByteArray || !validate.aes256()) {
        return {};
    }
    QByteArray plain;
    try {
        plain = validate.aes256()->decrypt(stored.toByteArray());
    } catch (const AES256::Error&) {
        return {};
    }
    return unarchiveString(plain).value_or(QString());
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
