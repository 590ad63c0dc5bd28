#pragma once

#include <QString>

// What Vantrel and its login launcher VantrelHelper know of each other. Both programs use exactly
// these values; nothing else passes between them.
namespace vantrel::login_launcher {

inline const QString mainBundleIdentifier = QStringLiteral("com.corvane.vantrel");
inline const QString launcherBundleIdentifier = QStringLiteral("com.corvane.vantrelhelper");
// Posted by Vantrel, with mainBundleIdentifier as its object, when it finds the launcher running.
inline const QString quitNotificationName = QStringLiteral("killLauncherQMZ");
inline const QString mainExecutableName = QStringLiteral("Vantrel");

} // namespace vantrel::login_launcher
