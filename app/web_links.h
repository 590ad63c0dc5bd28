#pragma once

#include <functional>
#include <QString>
#include <QUrl>

namespace vantrel {

// The maker's pages the popover links to.
namespace links {
inline QString supportPage() {
    return QStringLiteral("https://vantrel.corvane.com/support");
}
// Vantrel's page in the desktop's software centre (GNOME Software, KDE Discover), where users
// rate applications: the rating prompt and the menu item both open it.
inline QString storePage() {
    return QStringLiteral("appstream://com.corvane.vantrel");
}
inline QString otherProductsPage() {
    return QStringLiteral("https://corvane.com/apps");
}
} // namespace links

// Opens a URL in the default browser; QDesktopServices::openUrl unless a test replaced it.
using UrlOpener = std::function<bool(const QUrl&)>;

// Installs an opener and returns the one it replaces; an empty opener restores the default.
UrlOpener setUrlOpener(UrlOpener opener);

// Opens a web address when it parses as an http or https URL with a host; false otherwise, and
// when the browser could not be started.
bool openWebAddress(const QString& address);

// Opens storePage() with the desktop's handler of appstream: addresses; false when none started.
bool openStorePage();

} // namespace vantrel
