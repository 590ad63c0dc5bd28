#pragma once

#include "platform/desktop_entry.h"

#include <functional>
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

// The same for a file's bytes as read from path (which gives the id and the entry's path).
DesktopFileReading parseDesktopFile(const QByteArray& bytes, const QString& path);

// The application entries directly inside one folder, by file name; hidden files and
// sub-folders are left alone. A folder that cannot be listed has none.
QList<DesktopEntry> readDesktopEntries(const QString& folder);

// The entries of every folder in order. An id hidden in an earlier folder stays hidden in the
// later ones; the same application found in two folders is listed twice.
QList<DesktopEntry> readDesktopEntries(const QStringList& folders);

// The preferred entry of a desktop-file id: the first folder's file of that name that is an
// application, unless a Hidden=true file comes first.
std::optional<DesktopEntry> findDesktopEntry(const QString& id, const QStringList& folders);

// The same, and when no folder has it, the first of the files the user added by hand whose name
// gives that id; handAddedFiles is asked only then.
std::optional<DesktopEntry> findDesktopEntry(const QString& id, const QStringList& folders,
                                             const std::function<QStringList()>& handAddedFiles);

// The application entries among these files, in order.
QList<DesktopEntry> readDesktopFiles(const QStringList& paths);

// The desktops this session runs on ($XDG_CURRENT_DESKTOP), most specific first.
QStringList currentDesktops();

// Whether a TryExec program is there: an executable file at an absolute path, else on $PATH.
bool isInstalledProgram(const QString& program);

// Whether the desktop's menus offer an entry here, so that a user would pick it as an application:
// not NoDisplay, shown on one of these desktops by OnlyShowIn and NotShowIn, its TryExec
// installed, a Name, and a window of its own (not Terminal=true). Without a current desktop an
// OnlyShowIn entry is not offered, as GLib decides.
bool isOfferedInMenus(const DesktopEntry& entry, const QStringList& desktops,
                      const std::function<bool(const QString&)>& programInstalled);

} // namespace vantrel
