#include "platform/linux/desktop_entry_cache.h"

#include "platform/linux/desktop_entry_reader.h"

#include <QFileInfo>

namespace vantrel {

DesktopEntryCache::DesktopEntryCache(std::function<QStringList()> folders, QObject* parent)
    : QObject(parent)
    , m_folders(std::move(folders)) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_entries.reset(); });
}

QList<DesktopEntry> DesktopEntryCache::entries() {
    if (m_entries)
        return *m_entries;
    const QStringList folders = m_folders();
    // Watched before reading: a change in between only costs another reading.
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    QStringList present;
    for (const QString& folder : folders) {
        // A folder that does not exist yet is looked for through its parent.
        const QFileInfo info(folder);
        const QString watched = info.isDir() ? folder : info.absolutePath();
        if (QFileInfo(watched).isDir() && !present.contains(watched))
            present.append(watched);
    }
    if (!present.isEmpty())
        m_watcher.addPaths(present);
    m_entries = readDesktopEntries(folders);
    return *m_entries;
}

} // namespace vantrel
