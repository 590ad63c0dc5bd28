#pragma once

#include <QString>

namespace vantrel {

inline const QString appLockerWindowControllerIdentifier =
    QStringLiteral("AppLockerWindowController");

// Registers the lock window's controller with the controller registry; call once at start-up,
// before the first lock.
void registerLockControllers();

} // namespace vantrel
