#include "platform/linux/desktop_entry_reader.h"

#include <glib.h>
#include <memory>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

// Real desktop files are a few kilobytes; a larger one is not worth parsing.
constexpr qint64 kMaximumFileSize = 1 << 20;
const QString kSuffix = u".desktop"_s;

struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
struct StringVectorDeleter {
    void operator()(gchar** strings) const { g_strfreev(strings); }
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

// Exec's first word with the quoting undone; the key file has already undone its escapes.
QString execProgram(GKeyFile* file) {
    const QByteArray exec = stringValue(file, G_KEY_FILE_DESKTOP_KEY_EXEC).toUtf8();
    if (exec.trimmed().isEmpty())
        return {};
    gint count = 0;
    gchar** words = nullptr;
    if (!g_shell_parse_argv(exec.constData(), &count, &words, nullptr))
        return {};
    const std::unique_ptr<gchar*, StringVectorDeleter> owned(words);
    return count > 0 ? QString::fromUtf8(words[0]) : QString();
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

bool isValidId(const QString& id) {
    return !id.isEmpty() && !id.startsWith(u'.') && !id.contains(u'/') && !id.contains(QChar());
}

} // namespace

DesktopFileReading readDesktopFile(const QString& path) {
    const QString fileName = QFileInfo(path).fileName();
    if (!fileName.endsWith(kSuffix) || fileName.size() == kSuffix.size())
        return {};
    const std::optional<QByteArray> bytes = readSmallFile(path);
    if (!bytes)
        return {};

    const std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
    GError* error = nullptr;
    if (!g_key_file_load_from_data(file.get(), bytes->constData(),
                                   static_cast<gsize>(bytes->size()), G_KEY_FILE_NONE, &error)) {
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
    entry.id = fileName.chopped(kSuffix.size());
    entry.path = QFileInfo(path).absoluteFilePath();
    entry.name = localeStringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_NAME);
    entry.icon = localeStringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_ICON);
    entry.startupWMClass = stringValue(file.get(), G_KEY_FILE_DESKTOP_KEY_STARTUP_WM_CLASS);
    entry.execProgram = execProgram(file.get());
    entry.noDisplay = booleanValue(file.get(), G_KEY_FILE_DESKTOP_KEY_NO_DISPLAY);
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

} // namespace vantrel
