#pragma once

#include "platform/desktop_entry.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// One .desktop file as read: an application entry; a Hidden=true file, which by the desktop's
// rules deletes the application of that id from every later folder; or nothing usable.
struct DesktopFileReading {
    enum class Kind { Application, Hidden, Unusable };
    Kind kind = Kind::Unusable;
    DesktopEntry entry; // set for Application only
};

// Reads one file. Anything odd (not a regular file, too large, not a key file, no
// [Desktop Entry] group, another Type) is Unusable; nothing here fails louder than that.
DesktopFileReading readDesktopFile(const QString& path);

// The application entries directly inside one folder, by file name; hidden files and
// sub-folders are left alone. A folder that cannot be listed has none.
QList<DesktopEntry> readDesktopEntries(const QString& folder);

// The entries of every folder in order. An id hidden in an earlier folder stays hidden in the
// later ones; the same application found in two folders is listed twice.
QList<DesktopEntry> readDesktopEntries(const QStringList& folders);

// The preferred entry of a desktop-file id: the first folder's file of that name that is an
// application, unless a Hidden=true file comes first.
std::optional<DesktopEntry> findDesktopEntry(const QString& id, const QStringList& folders);

} // namespace vantrel
