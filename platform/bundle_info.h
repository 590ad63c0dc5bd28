#pragma once

#include <optional>
#include <QString>
#include <QVariantMap>

namespace vantrel {

// A program's bundle: the NAME.app folder that holds Contents/MacOS/<executable> and
// Contents/Info.plist.
struct BundleInfo {
    QString bundlePath; // absolute path of the .app folder
    QVariantMap info;   // the Info.plist dictionary
    std::optional<QString> bundleIdentifier() const;
};

// The bundle of the executable at this path: the .app folder two levels above the executable's
// folder. Nothing when that folder has no readable Info.plist with a dictionary root.
std::optional<BundleInfo> bundleForExecutable(const QString& executablePath);

// The bundle of the running program (QCoreApplication::applicationFilePath()).
std::optional<BundleInfo> mainBundle();

} // namespace vantrel
