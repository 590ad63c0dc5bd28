#include "store/settings.h"

#include <QVariant>

#include "platform/defaults_database.h"
#include "platform/keyed_archive.h"
#include "platform/platform.h"

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

void writeFlag(const QString& key, bool value) {
    defaults().setValue(key, QVariant(value));
}

QStringList readStringList(const QString& key) {
    const QVariant value = defaults().value(key);
    if (value.typeId() != QMetaType::QByteArray)
        return {};
    return unarchiveStringList(value.toByteArray()).value_or(QStringList{});
}

void writeStringList(const QStringList& list, const QString& key) {
    defaults().setValue(key, QVariant(archiveStringList(list)));
}

QStringList savedIdsList() {
    return readStringList(keys::savedIds);
}

void saveSavedIds(const QStringList& ids) {
    writeStringList(ids, keys::savedIds);
}

QStringList customAppPathsList() {
    return readStringList(keys::customAppPaths);
}

void saveCustomAppPaths(const QStringList& paths) {
    writeStringList(paths, keys::customAppPaths);
}

void removeSavedId(const QString& identifier) {
    QStringList ids = savedIdsList();
    ids.removeAll(identifier);
    saveSavedIds(ids);
}

void selectSavedId(const QString& identifier) {
    removeSavedId(identifier);
    QStringList ids = savedIdsList();
    ids.append(identifier);
    saveSavedIds(ids);
}

void addSavedIdIfMissing(const QString& identifier) {
    QStringList ids = savedIdsList();
    if (ids.contains(identifier))
        return;
    ids.append(identifier);
    saveSavedIds(ids);
}

void addCustomAppPathIfMissing(const QString& path) {
    QStringList paths = customAppPathsList();
    if (paths.contains(path))
        return;
    paths.append(path);
    saveCustomAppPaths(paths);
}

} // namespace vantrel
