#pragma once

#include "platform/application_bundles.h"

#include <functional>

namespace vantrel {

// Installed applications as XDG desktop entries: a bundle is a .desktop file of
// Type=Application, its identifier the desktop-file id, its CFBundleName the entry's Name.
// Folders are applicationFolders(), read afresh at every call.
class DesktopApplicationBundles final : public ApplicationBundles {
public:
    // handAddedFiles: the entries the user chose by hand, which an identifier can name too.
    explicit DesktopApplicationBundles(std::function<QStringList()> handAddedFiles = {});

    QStringList applicationFolders() const override;
    // Entries that the desktop's menus leave out here are left out too (isOfferedInMenus):
    // helpers such as handlers of one file type, other desktops' settings panels, programs not
    // installed, terminal programs.
    std::optional<QStringList> folderContents(const QString& folder) const override;
    std::optional<ApplicationBundle> bundleAt(const QString& path) const override;
    std::optional<ApplicationBundle> bundleWithIdentifier(const QString& identifier) const override;
    bool fileExists(const QString& path) const override;

private:
    std::function<QStringList()> m_handAddedFiles;
};

} // namespace vantrel
