#include "platform/freedesktop/xdg_autostart_login_items.h"

#include "platform/bundle_info.h"
#include "platform/freedesktop/autostart_entry.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vantrel {

namespace {

// Reverse-DNS identifiers only: anything else could leave the folder or hide the file.
bool isSafeIdentifier(const QString& identifier) {
    if (identifier.isEmpty() || identifier.startsWith(u'.'))
        return false;
    return std::all_of(identifier.begin(), identifier.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'.' || c == u'-' || c == u'_';
    });
}

// Entries are small; a larger file is not one we wrote.
constexpr qint64 maximumEntrySize = 64 * 1024;

bool fileHolds(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumEntrySize)
        return false;
    return file.readAll() == contents;
}

bool writeAtomically(const QString& path, const QByteArray& contents) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(contents) != contents.size())
        return false;
    return file.commit();
}

} // namespace

XdgAutostartLoginItems::XdgAutostartLoginItems(QString mainBundlePath, QString autostartFolder)
    : m_mainBundlePath(std::move(mainBundlePath))
    , m_autostartFolder(std::move(autostartFolder)) {}

QString XdgAutostartLoginItems::defaultAutostartFolder() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/autostart");
}

std::optional<QString> XdgAutostartLoginItems::entryPath(const QString& bundleIdentifier) const {
    if (!isSafeIdentifier(bundleIdentifier))
        return std::nullopt;
    return m_autostartFolder + u'/' + bundleIdentifier + QStringLiteral(".desktop");
}

std::optional<QString> XdgAutostartLoginItems::helperExecutable(const QString& bundleIdentifier,
                                                                QString& helperName) const {
    if (m_mainBundlePath.isEmpty())
        return std::nullopt;
    const QDir loginItems(m_mainBundlePath + QStringLiteral("/Contents/Library/LoginItems"));
    const QStringList bundles = loginItems.entryList({QStringLiteral("*.app")},
                                                     QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& folder : bundles) {
        const std::optional<BundleInfo> bundle = bundleAtPath(loginItems.filePath(folder));
        if (!bundle || bundle->bundleIdentifier() != bundleIdentifier)
            continue;
        const std::optional<QString> executable = bundle->executablePath();
        if (!executable)
            return std::nullopt;
        const QFileInfo program(*executable);
        if (!program.isFile() || !program.isExecutable())
            return std::nullopt;
        const QVariant name = bundle->info.value(QStringLiteral("CFBundleName"));
        helperName = name.typeId() == QMetaType::QString && !name.toString().isEmpty()
                         ? name.toString()
                         : program.fileName();
        return program.absoluteFilePath();
    }
    return std::nullopt;
}

bool XdgAutostartLoginItems::setEnabled(const QString& bundleIdentifier, bool enabled) {
    const std::optional<QString> path = entryPath(bundleIdentifier);
    if (!path)
        return false;
    if (!enabled) {
        if (!QFileInfo::exists(*path) && !QFileInfo(*path).isSymLink())
            return true;
        return QFile::remove(*path);
    }

    QString name;
    const std::optional<QString> executable = helperExecutable(bundleIdentifier, name);
    if (!executable)
        return false;
    const std::optional<QString> text = autostartEntryText(name, *executable);
    if (!text)
        return false;
    const QByteArray contents = text->toUtf8();
    // Re-registered at every start of the program: leave an entry that is already right alone.
    if (fileHolds(*path, contents))
        return true;
    return writeAtomically(*path, contents);
}

} // namespace vantrel
