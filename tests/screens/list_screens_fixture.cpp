#include "tests/screens/list_screens_fixture.h"

namespace vantrel::testing {

QString ListScreensTest::install(const QString& identifier, const QString& name,
                                 const QString& folder) {
    const QString path = folder + QLatin1Char('/') + identifier + QStringLiteral(".desktop");
    doubles.applicationBundles.addBundle(path, identifier, name);
    if (!doubles.applicationBundles.folderOrder.contains(folder))
        doubles.applicationBundles.folderOrder.append(folder);
    doubles.applicationBundles.folders[folder].append(path);
    if (!doubles.applicationPaths.paths.contains(identifier)) {
        doubles.applicationPaths.paths.insert(identifier, path);
        doubles.applicationBundles.pathsByIdentifier.insert(identifier, path);
    }
    return path;
}

QString ListScreensTest::placeOutside(const QString& identifier, const QString& name) {
    const QString path = QStringLiteral("/opt/") + identifier + QStringLiteral(".desktop");
    doubles.applicationBundles.addBundle(path, identifier, name);
    doubles.applicationPaths.paths.insert(identifier, path);
    doubles.applicationBundles.pathsByIdentifier.insert(identifier, path);
    return path;
}

void ListScreensTest::run(const QString& identifier) {
    const auto pid = static_cast<qint64>(doubles.workspace.applications.size() + 100);
    doubles.workspace.applications.append(makeFakeApplication(identifier, pid));
}

} // namespace vantrel::testing
