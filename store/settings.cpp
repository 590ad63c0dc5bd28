#include "store/settings.h"

#include "platform/defaults_database.h"
#include "platform/keyed_archive.h"
#include "platform/platform.h"

#include <QVariant>

namespace vantrel {
namespace {

DefaultsDatabase& defaults() {
    return *platform().defaults;
}

std::optional<bool> storedBoolean(const QString& key) {
    const QVariant value = defaults().value(key);
    if (value.typeId() != QMetaType::Bool)
        return std::nullopt;
    return value.toBool();
}

} // namespace

bool isActivateEnabled() {
    return storedBoolean(keys::isActivateVTR).value_or(true);
}

bool readFlag(const QString& key) {
    return storedBoolean(key).value_or(false);
}

bool writeFlag(const QString& key, bool value) {
    return defaults().setValue(key, QVariant(value));
}

QStringList readStringList(const QString& key) {
    const QVariant value = defaults().value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return {};
    return unarchiveStringList(value.toByteArray()).value_or(QStringList{});
}

bool writeStringList(const QStringList& list, const QString& key) {
    const QByteArray archive = archiveStringList(list);
    // An archive that could not be made would read back as the empty list: keep the old one.
    if (archive.isEmpty())
        return false;
    return defaults().setValue(key, QVariant(archive));
}

QStringList savedIdsList() {
    return readStringList(keys::savedIds);
}

bool saveSavedIds(const QStringList& ids) {
    return writeStringList(ids, keys::savedIds);
}

QStringList customAppPathsList() {
    return readStringList(keys::customAppPaths);
}

bool saveCustomAppPaths(const QStringList& paths) {
    return writeStringList(paths, keys::customAppPaths);
}

bool removeSavedId(const QString& identifier) {
    QStringList ids = savedIdsList();
    ids.removeAll(identifier);
    return saveSavedIds(ids);
}

bool selectSavedId(const QString& identifier) {
    // One write: were the removal stored on its own and the append refused (or the other way
    // round), the list could be left holding the identifier twice.
    QStringList ids = savedIdsList();
    ids.removeAll(identifier);
    ids.append(identifier);
    return saveSavedIds(ids);
}

bool addSavedIdIfMissing(const QString& identifier) {
    QStringList ids = savedIdsList();
    if (ids.contains(identifier))
        return true;
    ids.append(identifier);
    return saveSavedIds(ids);
}

bool addCustomAppPathIfMissing(const QString& path) {
    QStringList paths = customAppPathsList();
    if (paths.contains(path))
        return true;
    paths.append(path);
    return saveCustomAppPaths(paths);
}

} // namespace vantrel
