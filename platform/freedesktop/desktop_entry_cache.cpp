#include "platform/freedesktop/desktop_entry_cache.h"

#include "platform/freedesktop/desktop_entry_reader.h"
#include "platform/input_held.h"

#include <QFileInfo>

namespace vantrel {

DesktopEntryCache::DesktopEntryCache(std::function<QStringList()> folders,
                                     std::function<QStringList()> handAddedFiles, QObject* parent)
    : QObject(parent)
    , m_folders(std::move(folders))
    , m_handAddedFiles(std::move(handAddedFiles)) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_entries.reset(); });
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_entries.reset(); });
}

QList<DesktopEntry> DesktopEntryCache::entries() {
    // No reading while the user's input waits for the answer: an application installed a moment
    // ago is recognised at its next window.
    if (m_entries && isInputHeld())
        return *m_entries;
    const QStringList handAdded = m_handAddedFiles ? m_handAddedFiles() : QStringList();
    if (m_entries && handAdded == m_handAddedRead)
        return *m_entries;
    const QStringList folders = m_folders();
    // Watched before reading: a change in between only costs another reading.
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
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
    QStringList existingFiles;
    for (const QString& file : handAdded) {
        if (QFileInfo(file).isFile())
            existingFiles.append(file);
    }
    if (!existingFiles.isEmpty())
        m_watcher.addPaths(existingFiles);
    m_entries = readDesktopEntries(folders) + readDesktopFiles(handAdded);
    m_handAddedRead = handAdded;
    return *m_entries;
}

} // namespace vantrel
