#include "platform/linux/plist_defaults_database.h"

#include "platform/input_held.h"
#include "platform/property_list.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
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

PlistDefaultsDatabase::~PlistDefaultsDatabase() = default;

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
    if (isInputHeld() && m_lastRead)
        return *m_lastRead;
    const QVariantMap values = readContents(m_filePath).values;
    remember(values);
    return values;
}

void PlistDefaultsDatabase::remember(const QVariantMap& values) const {
    m_lastRead = values;
    // Only a program with an event loop hears of changes; the others never hold input.
    if (m_watcher || QCoreApplication::instance() == nullptr)
        return;
    m_watcher = std::make_unique<QFileSystemWatcher>();
    const QString folder = QFileInfo(m_filePath).absolutePath();
    if (QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    // The file is replaced whole on every write, so its folder is what changes.
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, m_watcher.get(),
                     [this] {
                         if (!isInputHeld())
                             m_lastRead = readContents(m_filePath).values;
                     });
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
    if (!writeContents(m_filePath, contents.values))
        return false;
    remember(contents.values);
    return true;
}

bool PlistDefaultsDatabase::removeValue(const QString& key) {
    return setValue(key, QVariant());
}

} // namespace vantrel
