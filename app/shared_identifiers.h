#pragma once

#include <QString>

namespace vantrel {

// What Vantrel and its login launcher, VantrelHelper, know of each other. Both programs use
// exactly these values.
inline const QString mainBundleIdentifier = QStringLiteral("com.corvane.vantrel");
inline const QString launcherBundleIdentifier = QStringLiteral("com.corvane.vantrelhelper");
// Posted by Vantrel, with its bundle identifier as object, to tell a waiting launcher to quit.
inline const QString killLauncherNotification = QStringLiteral("killLauncherQMZ");

} // namespace vantrel
