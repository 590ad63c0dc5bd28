#pragma once

#include "platform/desktop_entry.h"
#include "platform/freedesktop/desktop_entry_match.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel {

// What the system tells about a running process, as read from /proc.
struct ProcessFacts {
    QString cgroup;          // /proc/PID/cgroup
    QString flatpakInfo;     // /proc/PID/root/.flatpak-info; empty outside Flatpak
    QStringList commandLine; // /proc/PID/cmdline, word by word
};

// The installed entry of a running application, decided in this order: the systemd unit the
// desktop started it in (its cgroup), the Flatpak sandbox's own record, the window's hints, and
// last its command line against Exec. A name from the first two counts only when it is the id of
// an entry; the entries come most preferred first.
//
// A sandbox's unit (Flatpak, Snap) holds nothing but its application. A launcher's unit also holds
// what the application started, such as the programs run in a terminal, so its name gives way
// when the window's own hints name another entry.
std::optional<DesktopEntry> identifyApplication(const ProcessFacts& process,
                                                const ApplicationHints& window,
                                                const QList<DesktopEntry>& entries);

// A desktop-file id that a systemd unit of the process names.
struct UnitApplication {
    QString id;
    bool sandboxed = false; // a Flatpak or Snap unit
    bool operator==(const UnitApplication&) const = default;
};

// The applications that the process's systemd units name, most likely first, leaf unit before
// its parents: "app[-<launcher>]-<id>-<random>.scope", "app[-<launcher>]-<id>[@<random>].service"
// (which GNOME, KDE and Flatpak use) and "snap.<snap>.<app>[-<uuid>].scope", which is the entry
// "<snap>_<app>". Where a name can be split more than one way (a launcher or an id with
// unescaped dashes), every reading is given.
QList<UnitApplication> applicationsOfCgroup(const QString& cgroup);

// The Flatpak application id of a sandbox's .flatpak-info ("name" in [Application]); empty when
// there is none.
QString flatpakApplicationId(const QString& flatpakInfo);

} // namespace vantrel
