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
    QString execProgram;    // the program of Exec (its first word, unquoted); may be empty
    bool noDisplay = false; // NoDisplay=true
};

// The folders that hold application entries, most preferred first: $XDG_DATA_HOME/applications,
// then each of $XDG_DATA_DIRS/applications, with the XDG defaults when the variables are unset.
QStringList applicationFolders();

} // namespace vantrel
