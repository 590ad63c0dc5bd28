#include "app/null_services.h"

#include <QWindow>

namespace vantrel {

void NullWorkspace::activateSelf(QWindow* keyWindow) {
    if (!keyWindow)
        return;
    keyWindow->raise();
    keyWindow->requestActivate();
}

void NullWorkspace::showOnAllDesktops(QWindow*) {}

void NullNotificationCenter::post(const QString&, const QString&) {}

void NullNotificationCenter::addObserver(const QString&, const QString&, const QObject*,
                                         std::function<void()>) {}

bool NullLoginItems::setEnabled(const QString&, bool) {
    return false;
}

std::optional<QString> NullApplicationPaths::absolutePathForBundleIdentifier(const QString&) const {
    return std::nullopt;
}

QIcon NullApplicationPaths::iconForFile(const QString&) const {
    return {};
}

} // namespace vantrel
