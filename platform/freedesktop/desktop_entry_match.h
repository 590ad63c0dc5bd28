#pragma once

#include "platform/desktop_entry.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// What a running program tells about itself that can lead to its installed desktop entry.
struct ApplicationHints {
    QString kdeDesktopFile;   // _KDE_NET_WM_DESKTOP_FILE of its window
    QString gtkApplicationId; // _GTK_APPLICATION_ID of its window
    QString classInstance;    // WM_CLASS, first part
    QString className;        // WM_CLASS, second part
    QStringList commandLine;  // the process's command line, word by word
};

// The installed entry of a running program, found the way the big desktop shells match windows to
// applications, in this order: the window's application id against entry ids; the WM_CLASS
// instance, then class, against StartupWMClass; instance, then class, as an entry id (as they
// are, then lower-cased with spaces turned into '-'); what the command line starts (wrappers
// taken off, see programOfCommand), then its base name, against the program of Exec. Entries come
// most preferred first; where several entries share a StartupWMClass or an Exec program, a
// displayed one wins over a NoDisplay one.
std::optional<DesktopEntry> matchDesktopEntry(const ApplicationHints& hints,
                                              const QList<DesktopEntry>& entries);

} // namespace vantrel
