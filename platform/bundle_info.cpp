#include "platform/bundle_info.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/property_list.h"

namespace vantrel {
namespace {

// Info.plist files are small; a larger one is not ours.
constexpr qint64 maximumInfoSize = 1 << 20;

} // namespace

std::optional<QString> BundleInfo::bundleIdentifier() const {
    const QVariant identifier = info.value(QStringLiteral("CFBundleIdentifier"));
    if (identifier.typeId() != QMetaType::QString || identifier.toString().isEmpty())
        return std::nullopt;
    return identifier.toString();
}

std::optional<BundleInfo> bundleForExecutable(const QString& executablePath) {
    // NAME.app/Contents/MacOS/executable
    QDir folder = QFileInfo(executablePath).absoluteDir();
    if (!folder.cdUp() || !folder.cdUp())
        return std::nullopt;
    const QString bundlePath = folder.absolutePath();
    if (!bundlePath.endsWith(QStringLiteral(".app")))
        return std::nullopt;

    QFile file(folder.filePath(QStringLiteral("Contents/Info.plist")));
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumInfoSize)
        return std::nullopt;
    const std::optional<QVariant> root = parsePropertyList(file.readAll());
    if (!root || root->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return BundleInfo{bundlePath, root->toMap()};
}

std::optional<BundleInfo> mainBundle() {
    return bundleForExecutable(QCoreApplication::applicationFilePath());
}

} // namespace vantrel
