#include "platform/freedesktop/desktop_entry_reader.h"

#include "platform/freedesktop/launch_command.h"

#include <algorithm>
#include <glib.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

// Real desktop files are a few kilobytes; a larger one is not worth parsing.
constexpr qint64 kMaximumFileSize = 1 << 20;
const QString kSuffix = u".desktop"_s;

struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

// Takes ownership of a GLib string.
QString takeString(gchar* text) {
    if (text == nullptr)
        return {};
    const QString result = QString::fromUtf8(text);
    g_free(text);
    return result;
}

QString stringValue(GKeyFile* file, const char* key) {
    return takeString(g_key_file_get_string(file, G_KEY_FILE_DESKTOP_GROUP, key, nullptr));
}

// In the user's language as the environment names it, else the plain value.
QString localeStringValue(GKeyFile* file, const char* key) {
    return takeString(
        g_key_file_get_locale_string(file, G_KEY_FILE_DESKTOP_GROUP, key, nullptr, nullptr));
}

bool booleanValue(GKeyFile* file, const char* key) {
    GError* error = nullptr;
    const gboolean value = g_key_file_get_boolean(file, G_KEY_FILE_DESKTOP_GROUP, key, &error);
    if (error != nullptr) {
        g_error_free(error);
        return false;
    }
    return value != FALSE;
}

QStringList listValue(GKeyFile* file, const char* key) {
    gsize count = 0;
    gchar** values =
        g_key_file_get_string_list(file, G_KEY_FILE_DESKTOP_GROUP, key, &count, nullptr);
    QStringList result;
    for (gsize i = 0; i < count; ++i) {
        if (values[i][0] != '\0')
            result.append(QString::fromUtf8(values[i]));
    }
    g_strfreev(values);
    return result;
}

std::optional<QByteArray> readSmallFile(const QString& path) {
    // Only regular files (through symbolic links): a FIFO or device would block or never end.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaximumFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaximumFileSize + 1);
    if (bytes.size() > kMaximumFileSize)
        return std::nullopt;
    return bytes;
}

// The desktop-file id a file's name gives; empty when it is not named like a desktop file. Any
// letter case: a file chosen by hand may be named "Tool.DESKTOP".
QString idOfFileName(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    if (!fileName.endsWith(kSuffix, Qt::CaseInsensitive) || fileName.size() == kSuffix.size())
        return {};
    return fileName.chopped(kSuffix.size());
}

bool isValidId(const QString& id) {
    return !id.isEmpty() && !id.startsWith(u'.') && !id.contains(u'/') && !id.contains(QChar());
}

} // namespace

DesktopFileReading readDesktopFile(const QString& path) {
    if (idOfFileName(path).isEmpty())
        return {};
    const std::optional<QByteArray> bytes = readSmallFile(path);
    if (!bytes)
        return {};
    return parseDesktopFile(*bytes, path);
}

DesktopFileReading parseDesktopFile(const QByteArray& bytes, const QString& path) {
    const QString id = idOfFileName(path);
    if (id.isEmpty() || bytes.size() > kMaximumFileSize)
        return {};
    const std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
    GError* error = nullptr;
    if (!g_key_file_load_from_data(file.get(), bytes.constData(), static_cast<gsize>(bytes.size()),
                                   G_KEY_FILE_NONE, &error)) {
        g_error_free(error);
        return {};
    }
    if (!g_key_file_has_group(file.get(), G_KEY_FILE_DESKTOP_GROUP))
        return {};
    if (booleanValue(file.get(), G_KEY_FILE_DESKTOP_KEY_HIDDEN))
        return {DesktopFileReading::Kind::Hidden, {}};
    if (stringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_TYPE) !=
        QLatin1StringView(G_KEY_FILE_DESKTOP_TYPE_APPLICATION))
        return {};

    DesktopEntry entry;
    entry.id = id;
    entry.path = QFileInfo(path).absoluteFilePath();
    entry.name = localeStringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_NAME);
    entry.icon = localeStringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_ICON);
    entry.startupWMClass = stringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_STARTUP_WM_CLASS);
    // The key file has already undone its own escapes; the quoting is the shell's.
    entry.execProgram =
        programOfCommand(shellWords(stringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_EXEC)));
    entry.noDisplay = booleanValue(file.get(), G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY);
    entry.terminal = booleanValue(file.get(), G_KEY_FILE_DESKTOP_KEY_TERMINAL);
    entry.tryExec = stringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_TRY_EXEC);
    entry.onlyShowIn = listValue(file.get(), G_KEY_FILE_DESKTOP_KEY_ONLY_SHOW_IN);
    entry.notShowIn = listValue(file.get(), G_KEY_FILE_DESKTOP_KEY_NOT_SHOW_IN);
    return {DesktopFileReading::Kind::Application, std::move(entry)};
}

namespace {

// Calls back with each desktop file directly in the folder, by name.
template <typename Visit> void forEachDesktopFile(const QString& folder, Visit visit) {
    const QDir dir(folder);
    // Files and links to files; no hidden files, no sub-folders, no FIFOs or devices.
    const QStringList names =
        dir.entryList({u"*.desktop"_s}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& name : names)
        visit(name.chopped(kSuffix.size()), readDesktopFile(dir.filePath(name)));
}

} // namespace

QList<DesktopEntry> readDesktopEntries(const QString& folder) {
    QList<DesktopEntry> entries;
    forEachDesktopFile(folder, [&entries](const QString&, DesktopFileReading reading) {
        if (reading.kind == DesktopFileReading::Kind::Application)
            entries.append(std::move(reading.entry));
    });
    return entries;
}

QList<DesktopEntry> readDesktopEntries(const QStringList& folders) {
    QList<DesktopEntry> entries;
    QSet<QString> hidden;
    for (const QString& folder : folders) {
        QSet<QString> hiddenHere;
        forEachDesktopFile(folder, [&](const QString& id, DesktopFileReading reading) {
            if (reading.kind == DesktopFileReading::Kind::Hidden)
                hiddenHere.insert(id);
            else if (reading.kind == DesktopFileReading::Kind::Application && !hidden.contains(id))
                entries.append(std::move(reading.entry));
        });
        hidden.unite(hiddenHere);
    }
    return entries;
}

std::optional<DesktopEntry> findDesktopEntry(const QString& id, const QStringList& folders) {
    if (!isValidId(id))
        return std::nullopt;
    for (const QString& folder : folders) {
        DesktopFileReading reading = readDesktopFile(QDir(folder).filePath(id + kSuffix));
        if (reading.kind == DesktopFileReading::Kind::Hidden)
            return std::nullopt;
        if (reading.kind == DesktopFileReading::Kind::Application)
            return std::move(reading.entry);
    }
    return std::nullopt;
}

std::optional<DesktopEntry> findDesktopEntry(const QString& id, const QStringList& folders,
                                             const std::function<QStringList()>& handAddedFiles) {
    if (std::optional<DesktopEntry> installed = findDesktopEntry(id, folders))
        return installed;
    if (!isValidId(id) || !handAddedFiles)
        return std::nullopt;
    for (const QString& path : handAddedFiles()) {
        if (idOfFileName(path) != id)
            continue;
        DesktopFileReading reading = readDesktopFile(path);
        if (reading.kind == DesktopFileReading::Kind::Application)
            return std::move(reading.entry);
    }
    return std::nullopt;
}

QList<DesktopEntry> readDesktopFiles(const QStringList& paths) {
    QList<DesktopEntry> entries;
    for (const QString& path : paths) {
        DesktopFileReading reading = readDesktopFile(path);
        if (reading.kind == DesktopFileReading::Kind::Application)
            entries.append(std::move(reading.entry));
    }
    return entries;
}

QStringList currentDesktops() {
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
}

bool isInstalledProgram(const QString& program) {
    if (program.isEmpty())
        return false;
    if (QDir::isAbsolutePath(program)) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable();
    }
    return !QStandardPaths::findExecutable(program).isEmpty();
}

bool isOfferedInMenus(const DesktopEntry& entry, const QStringList& desktops,
                      const std::function<bool(const QString&)>& programInstalled) {
    if (entry.noDisplay || entry.terminal || entry.name.trimmed().isEmpty())
        return false;
    const auto shownOnThisDesktop = [&desktops](const QStringList& listed) {
        return std::any_of(desktops.cbegin(), desktops.cend(),
                           [&listed](const QString& desktop) { return listed.contains(desktop); });
    };
    if (!entry.onlyShowIn.isEmpty() && !shownOnThisDesktop(entry.onlyShowIn))
        return false;
    if (shownOnThisDesktop(entry.notShowIn))
        return false;
    return entry.tryExec.isEmpty() || programInstalled(entry.tryExec);
}

} // namespace vantrel
