#pragma once

#include <QString>

namespace vantrel::dbus_notifications {

// Where a distributed notification travels on the session bus: every notification is one
// broadcast signal Posted(s name, s object) on this path and interface, with no destination, so
// that every program of the session that listens receives it.
inline const QString objectPath = QStringLiteral("/com/corvane/DistributedNotifications");
inline const QString interfaceName = QStringLiteral("com.corvane.DistributedNotifications");
inline const QString postedSignal = QStringLiteral("Posted");
inline const QString postedSignature = QStringLiteral("ss");

} // namespace vantrel::dbus_notifications
