#pragma once

#include "platform/application_paths.h"

#include <functional>

namespace vantrel {

// Installed applications as the XDG desktop entries describe them: an application's path is its
// .desktop file, found by desktop-file id in the folders of applicationFolders(), read afresh at
// every call.
class XdgApplicationPaths final : public ApplicationPaths {
public:
    // handAddedFiles: the entries the user chose by hand; an identifier no folder has is looked
    // for among them.
    explicit XdgApplicationPaths(std::function<QStringList()> handAddedFiles = {});

    std::optional<QString>
    absolutePathForBundleIdentifier(const QString& identifier) const override;

    // The entry's Icon: a theme icon by name or an image file by absolute path. Never null: a
    // path that is no application entry, or an icon that cannot be found, gives a generic
    // application icon.
    QIcon iconForFile(const QString& path) const override;

private:
    std::function<QStringList()> m_handAddedFiles;
};

} // namespace vantrel
