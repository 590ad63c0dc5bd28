#pragma once

#include <optional>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace vantrel {

// One installed application as the desktop describes it: where its description lies, its
// identifier, and an info dictionary (CFBundleName holds its display name).
struct ApplicationBundle {
    QString path;
    std::optional<QString> bundleIdentifier;
    QVariantMap info;
};

// Where installed applications are found, and how one is opened.
class ApplicationBundles {
public:
    virtual ~ApplicationBundles() = default;

    // The folders that hold applications, most preferred first; they need not exist.
    virtual QStringList applicationFolders() const = 0;
    // The absolute paths of a folder's immediate entries, hidden ones left out; nothing when
    // the folder cannot be listed.
    virtual std::optional<QStringList> folderContents(const QString& folder) const = 0;
    // The application at a path; nothing when the path holds none.
    virtual std::optional<ApplicationBundle> bundleAt(const QString& path) const = 0;
    // The application the desktop knows by this identifier.
    virtual std::optional<ApplicationBundle>
    bundleWithIdentifier(const QString& identifier) const = 0;
    // True when any file-system object exists at the path.
    virtual bool fileExists(const QString& path) const = 0;
};

} // namespace vantrel
