#pragma once

#include <QString>

namespace vantrel {

inline const QString appLockerWindowControllerIdentifier =
    QStringLiteral("AppLockerWindowController");

class AppLockerWindowController;

// Registers the lock window's controller with the controller registry; call once at start-up,
// before the first lock.
void registerLockControllers();

// The lock window's controller once the first lock has made it; null before. Makes nothing.
AppLockerWindowController* existingLockController();

} // namespace vantrel
