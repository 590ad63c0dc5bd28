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
// in memory. A value of the wrong type reads as the key's default.

// Locking as a whole; on when nothing (or no boolean) is stored.
bool isActivateEnabled();
// Any other flag; off when nothing (or no boolean) is stored.
bool readFlag(const QString& key);
void writeFlag(const QString& key, bool value);

// A list of strings stored as a keyed archive; the empty list when absent or damaged.
QStringList readStringList(const QString& key);
void writeStringList(const QStringList& list, const QString& key);

QStringList savedIdsList();
void saveSavedIds(const QStringList& ids);
QStringList customAppPathsList();
void saveCustomAppPaths(const QStringList& paths);

// The changes every screen makes to the locked list, so that all treat it alike.
void removeSavedId(const QString& identifier); // drops every equal entry
void selectSavedId(const QString& identifier); // moves it to the end, once
void addSavedIdIfMissing(const QString& identifier);
void addCustomAppPathIfMissing(const QString& path);

} // namespace vantrel
