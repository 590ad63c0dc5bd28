#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// What the desktop's application entries (XDG .desktop files) say about one installed application.
struct DesktopEntry {
    QString id;             // desktop-file id: the file name without ".desktop"
    QString path;           // absolute path of the .desktop file
    QString name;           // Name in the user's locale, else plain Name
    QString icon;           // Icon: a theme name or an absolute path; may be empty
    QString startupWMClass; // StartupWMClass; may be empty
    QString execProgram;    // what Exec starts, wrappers taken off (programOfCommand); may be empty
    bool noDisplay = false; // NoDisplay=true
    bool terminal = false;  // Terminal=true: runs in a terminal, with no window of its own
    QString tryExec;        // TryExec: a program that must be installed; may be empty
    QStringList onlyShowIn; // OnlyShowIn: the desktops that offer it; empty for all
    QStringList notShowIn;  // NotShowIn: the desktops that don't
};

// The folders that hold application entries, most preferred first: $XDG_DATA_HOME/applications,
// then each of $XDG_DATA_DIRS/applications, with the XDG defaults when the variables are unset,
// then those of Flatpak's and Snap's exports that the variable lacks.
QStringList applicationFolders();

} // namespace vantrel
