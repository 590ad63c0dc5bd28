#pragma once

#include "store/app.h"

#include <QList>

namespace vantrel {

// The program's own identifier; it never appears in either list.
inline const QString ownBundleIdentifier = QStringLiteral("com.corvane.vantrel");

// Fresh records of the applications found directly in the application folders, in folder and
// then listing order, followed by the applications added by hand, then the locked applications
// that neither holds (the desktop hides them from its menus). isSelected is set from savedIds.
// Hand-added paths at which nothing exists any more are dropped from customAppPaths.
QList<AppRef> installedApps();

// The same for the running applications, in the workspace's order, followed by the
// applications added by hand (running or not).
QList<AppRef> runningApps();

} // namespace vantrel
