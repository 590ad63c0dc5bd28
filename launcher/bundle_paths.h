#pragma once

#include <optional>
#include <QString>

namespace vantrel::login_launcher {

// Vantrel's executable for a launcher bundle at …/Vantrel.app/Contents/Library/LoginItems/
// VantrelHelper.app: three folders up, then MacOS/Vantrel. Taken only from the launcher's
// location, never from a search. Nothing when the path has fewer than three folders to remove.
std::optional<QString> mainExecutablePath(const QString& launcherBundlePath);

// The running launcher's bundle folder, or the folder of its executable outside a bundle.
QString ownBundlePath();

} // namespace vantrel::login_launcher
