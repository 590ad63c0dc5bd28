#pragma once

#include "platform/application_bundles.h"

namespace vantrel {

// Installed applications as XDG desktop entries: a bundle is a .desktop file of
// Type=Application, its identifier the desktop-file id, its CFBundleName the entry's Name.
// Folders are applicationFolders(), read afresh at every call.
class DesktopApplicationBundles final : public ApplicationBundles {
public:
    QStringList applicationFolders() const override;
    // Entries that menus hide (NoDisplay=true) are left out too: they are helpers, such as
    // handlers of one file type, that nobody picks as an application.
    std::optional<QStringList> folderContents(const QString& folder) const override;
    std::optional<ApplicationBundle> bundleAt(const QString& path) const override;
    std::optional<ApplicationBundle> bundleWithIdentifier(const QString& identifier) const override;
    bool fileExists(const QString& path) const override;
};

} // namespace vantrel
