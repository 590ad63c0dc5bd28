#pragma once

#include "platform/desktop_entry.h"

#include <functional>
#include <optional>
#include <QFileSystemWatcher>
#include <QList>
#include <QObject>
#include <QStringList>

namespace vantrel {

// The installed desktop entries, read once and again only after a folder of them changed (an
// application installed or removed), so that telling which application a new window belongs to
// costs no disk reads; while the user's input is held, never.
class DesktopEntryCache final : public QObject {
    Q_OBJECT

public:
    // folders: where the entries are, most preferred first, asked again at every reading.
    // handAddedFiles: entries the user chose by hand, after those of the folders; asked at every
    // call, since a change of the list changes the answer.
    explicit DesktopEntryCache(std::function<QStringList()> folders,
                               std::function<QStringList()> handAddedFiles = {},
                               QObject* parent = nullptr);

    QList<DesktopEntry> entries();

private:
    std::function<QStringList()> m_folders;
    std::function<QStringList()> m_handAddedFiles;
    QStringList m_handAddedRead;
    std::optional<QList<DesktopEntry>> m_entries;
    QFileSystemWatcher m_watcher;
};

} // namespace vantrel
