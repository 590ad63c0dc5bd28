#include "platform/bundle_info.h"

#include "platform/property_list.h"

#include <fcntl.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

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

std::optional<QString> BundleInfo::executablePath() const {
    const QVariant name = info.value(QStringLiteral("CFBundleExecutable"));
    if (name.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString fileName = name.toString();
    if (fileName.isEmpty() || fileName == u'.' || fileName == QStringLiteral("..") ||
        fileName.contains(u'/'))
        return std::nullopt;
    return bundlePath + QStringLiteral("/Contents/MacOS/") + fileName;
}

std::optional<BundleInfo> bundleAtPath(const QString& bundlePath) {
    const QString absolutePath = QDir(bundlePath).absolutePath();
    if (!absolutePath.endsWith(QStringLiteral(".app")))
        return std::nullopt;
    // Opened without waiting and read only when a regular file: a FIFO in its place would wait
    // for a writer that never comes.
    const int descriptor =
        ::open(QFile::encodeName(absolutePath + QStringLiteral("/Contents/Info.plist")).constData(),
               O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return std::nullopt;
    struct stat status {};
    QFile file;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return std::nullopt;
    }
    if (file.size() > maximumInfoSize)
        return std::nullopt;
    const std::optional<QVariant> root = parsePropertyList(file.readAll());
    if (!root || root->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return BundleInfo{absolutePath, root->toMap()};
}

std::optional<BundleInfo> bundleForExecutable(const QString& executablePath) {
    // NAME.app/Contents/MacOS/executable
    QDir folder = QFileInfo(executablePath).absoluteDir();
    if (!folder.cdUp() || !folder.cdUp())
        return std::nullopt;
    return bundleAtPath(folder.absolutePath());
}

std::optional<BundleInfo> mainBundle() {
    return bundleForExecutable(QCoreApplication::applicationFilePath());
}

} // namespace vantrel
