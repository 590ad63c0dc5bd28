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
    // Contents/MacOS/<CFBundleExecutable>; nothing when the name is missing or not a plain file
    // name.
    std::optional<QString> executablePath() const;
};

// The bundle at this .app folder; nothing without a readable Info.plist with a dictionary root.
std::optional<BundleInfo> bundleAtPath(const QString& bundlePath);

// The bundle of the executable at this path: the .app folder two levels above the executable's
// folder. Nothing when that folder has no readable Info.plist with a dictionary root.
std::optional<BundleInfo> bundleForExecutable(const QString& executablePath);

// The bundle of the running program (QCoreApplication::applicationFilePath()).
std::optional<BundleInfo> mainBundle();

} // namespace vantrel
