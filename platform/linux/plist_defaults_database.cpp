#include "platform/linux/plist_defaults_database.h"

#include "platform/property_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vantrel {

namespace {

enum class FileState { Missing, Valid, Corrupt, Unreadable };

struct Contents {
    FileState state = FileState::Missing;
    QVariantMap values;
};

Contents readContents(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {FileState::Unreadable, {}};
    const std::optional<QVariant> parsed = parsePropertyList(file.readAll());
    if (!parsed || parsed->typeId() != QMetaType::QVariantMap)
        return {FileState::Corrupt, {}};
    return {FileState::Valid, parsed->toMap()};
}

// Keeps a damaged file for inspection instead of overwriting what may be the user's only copy.
bool setAsideCorrupt(const QString& path) {
    const QString aside = path + QStringLiteral(".corrupt");
    if (QFile::exists(aside) && !QFile::remove(aside))
        return false;
    return QFile::copy(path, aside);
}

bool writeContents(const QString& path, const QVariantMap& values) {
    const std::optional<QByteArray> bytes = serializeBinaryPropertyList(QVariant(values));
    if (!bytes)
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Before any data lands, so the secrets are never readable by others.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    if (file.write(*bytes) != bytes->size())
        return false;
    return file.commit();
}

} // namespace

PlistDefaultsDatabase::PlistDefaultsDatabase(QString filePath)
    : m_filePath(std::move(filePath)) {}

QString PlistDefaultsDatabase::defaultFilePath(const QString& domain) {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + u'/' + domain + QStringLiteral(".plist");
}

QVariant PlistDefaultsDatabase::value(const QString& key) const {
    return allValues().value(key);
}

QVariantMap PlistDefaultsDatabase::allValues() const {
    return readContents(m_filePath).values;
}

bool PlistDefaultsDatabase::setValue(const QString& key, const QVariant& value) {
    Contents contents = readContents(m_filePath);
    if (contents.state == FileState::Unreadable)
        return false;
    if (value.isValid())
        contents.values.insert(key, value);
    else
        contents.values.remove(key);
    if (contents.state == FileState::Corrupt && !setAsideCorrupt(m_filePath))
        return false;
    return writeContents(m_filePath, contents.values);
}

bool PlistDefaultsDatabase::removeValue(const QString& key) {
    return setValue(key, QVariant());
}

} // namespace vantrel
