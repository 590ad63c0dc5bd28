#pragma once

#include "platform/login_items.h"

#include <optional>
#include <QString>

namespace vantrel {

// Login items as XDG autostart entries <folder>/<bundle identifier>.desktop. The helper with a
// bundle identifier is the one of that identifier in the main bundle's
// Contents/Library/LoginItems; its entry starts the helper's executable by absolute path.
class XdgAutostartLoginItems final : public LoginItems {
public:
    XdgAutostartLoginItems(QString mainBundlePath, QString autostartFolder);

    // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart when the variable is unset, empty or
    // not an absolute path.
    static QString defaultAutostartFolder();

    // Nothing for an identifier that cannot name a file of the folder.
    std::optional<QString> entryPath(const QString& bundleIdentifier) const;

    // Enabling writes the entry atomically (an unchanged entry is left as it is) and fails when
    // the helper is not in the main bundle; disabling removes the entry. True when the entry is
    // now as asked.
    bool setEnabled(const QString& bundleIdentifier, bool enabled) override;

private:
    std::optional<QString> helperExecutable(const QString& bundleIdentifier,
                                            QString& helperName) const;

    QString m_mainBundlePath;
    QString m_autostartFolder;
};

} // namespace vantrel
