#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// The keys of the defaults database.
namespace keys {
inline const QString isActivateVTR = QStringLiteral("isActivateVTR");
inline const QString isEnableFullscreenLockMode = QStringLiteral("isEnableFullscreenLockMode");
inline const QString isShowRunningAppsOnly = QStringLiteral("isShowRunningAppsOnly");
inline const QString isLaunchAutomaticallyAtMacStartup =
    QStringLiteral("isLaunchAutomaticallyAtMacStartup");
inline const QString savedIds = QStringLiteral("savedIds");
inline const QString customAppPaths = QStringLiteral("customAppPaths");
inline const QString applock = QStringLiteral("applock");
inline const QString isAppstoreRated = QStringLiteral("isAppstoreRated");
} // namespace keys

// Settings are read from the defaults database at every use and written at once; nothing is kept
// in memory. A value of the wrong type reads as the key's default. Writers return false when the
// database refused the change; what was stored before then stays in force.

// Locking as a whole; on when nothing (or no boolean) is stored.
bool isActivateEnabled();
// Any other flag; off when nothing (or no boolean) is stored.
bool readFlag(const QString& key);
bool writeFlag(const QString& key, bool value);

// A list of strings stored as a keyed archive; the empty list when absent or damaged.
QStringList readStringList(const QString& key);
bool writeStringList(const QStringList& list, const QString& key);

QStringList savedIdsList();
bool saveSavedIds(const QStringList& ids);
QStringList customAppPathsList();
bool saveCustomAppPaths(const QStringList& paths);

// The changes every screen makes to the locked list, so that all treat it alike.
bool removeSavedId(const QString& identifier); // drops every equal entry
bool selectSavedId(const QString& identifier); // moves it to the end, once
bool addSavedIdIfMissing(const QString& identifier);
bool addCustomAppPathIfMissing(const QString& path);

} // namespace vantrel
