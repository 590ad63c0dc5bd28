#include "store/app.h"

#include <QVariant>
#include <utility>

#include "platform/application_paths.h"
#include "platform/platform.h"

namespace vantrel {

App::App(QUrl location, QString identifier, AppBundle appBundle, bool selected, bool alreadyRunning)
    : url(std::move(location)), bundleID(std::move(identifier)), bundle(std::move(appBundle)),
      isSelected(selected), isAlreadyRunning(alreadyRunning) {}

QIcon App::icon() const {
    const ApplicationPaths* paths = platform().applicationPaths;
    if (!paths || !bundle.bundleIdentifier)
        return {};
    const std::optional<QString> path =
        paths->absolutePathForBundleIdentifier(*bundle.bundleIdentifier);
    if (!path)
        return {};
    return paths->iconForFile(*path);
}

std::optional<QString> App::displayName() const {
    const QVariant name = bundle.info.value(QStringLiteral("CFBundleName"));
    if (name.typeId() != QMetaType::QString)
        return std::nullopt;
    return name.toString();
}

AppRef makeApp(QUrl url, QString bundleID, AppBundle bundle, bool isSelected,
               bool isAlreadyRunning) {
    return std::make_shared<App>(std::move(url), std::move(bundleID), std::move(bundle),
                                 isSelected, isAlreadyRunning);
}

} // namespace vantrel
