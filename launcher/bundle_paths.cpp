#include "launcher/bundle_paths.h"

#include "launcher/launcher_identifiers.h"
#include "platform/bundle_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

namespace vantrel::login_launcher {

std::optional<QString> mainExecutablePath(const QString& launcherBundlePath) {
    QStringList components =
        QDir::cleanPath(QDir(launcherBundlePath).absolutePath()).split(u'/', Qt::SkipEmptyParts);
    constexpr qsizetype levelsUp = 3;
    if (components.size() < levelsUp)
        return std::nullopt;
    components.resize(components.size() - levelsUp);
    components << QStringLiteral("MacOS") << mainExecutableName;
    return u'/' + components.join(u'/');
}

QString ownBundlePath() {
    if (const std::optional<BundleInfo> bundle = mainBundle())
        return bundle->bundlePath;
    return QCoreApplication::applicationDirPath();
}

} // namespace vantrel::login_launcher
