#include "platform/desktop_entry.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

// The base directory specification allows absolute paths only; anything else is ignored.
bool isUsableBase(const QString& path) {
    return !path.isEmpty() && QDir::isAbsolutePath(path);
}

} // namespace

QStringList applicationFolders() {
    QString home = qEnvironmentVariable("XDG_DATA_HOME");
    if (!isUsableBase(home))
        home = QDir::homePath() + u"/.local/share"_s;

    QStringList system;
    for (const QString& entry : qEnvironmentVariable("XDG_DATA_DIRS").split(u':')) {
        if (isUsableBase(entry))
            system.append(entry);
    }
    // A variable with nothing usable in it says nothing: take the defaults, as when unset.
    if (system.isEmpty())
        system = {u"/usr/local/share"_s, u"/usr/share"_s};

    // Flatpak and Snap export their applications here and add the folders to XDG_DATA_DIRS from
    // a login script, which not every session runs; missing ones come last.
    for (const QString& exported :
         {home + u"/flatpak/exports/share"_s, u"/var/lib/flatpak/exports/share"_s,
          u"/var/lib/snapd/desktop"_s}) {
        if (!system.contains(exported) && !system.contains(exported + u'/'))
            system.append(exported);
    }

    QStringList folders;
    for (const QString& base : QStringList{home} + system) {
        const QString folder = QDir::cleanPath(base + u"/applications"_s);
        // The same folder named twice holds no second copy of anything.
        if (!folders.contains(folder))
            folders.append(folder);
    }
    return folders;
}

} // namespace vantrel
