#include "app/web_links.h"

#include <QDesktopServices>

namespace vantrel {
namespace {

UrlOpener& installedOpener() {
    static UrlOpener opener;
    return opener;
}

} // namespace

UrlOpener setUrlOpener(UrlOpener opener) {
    UrlOpener previous = std::move(installedOpener());
    installedOpener() = std::move(opener);
    return previous;
}

bool openWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    const bool isWebAddress = url.isValid() && !url.host().isEmpty() &&
                              (url.scheme() == u"https" || url.scheme() == u"http");
    if (!isWebAddress)
        return false;
    if (installedOpener())
        return installedOpener()(url);
    return QDesktopServices::openUrl(url);
}

bool openStorePage() {
    const QUrl url(links::storePage(), QUrl::StrictMode);
    if (installedOpener())
        return installedOpener()(url);
    return QDesktopServices::openUrl(url);
}

} // namespace vantrel
