#pragma once

#include "platform/notification_center.h"

#include <QDBusConnection>
#include <QObject>

namespace vantrel {

// Distributed notifications as broadcast signals on a D-Bus bus (names in
// dbus_notification_names.h). Signals are not queued: a notification posted before an observer
// is registered never reaches it. Without a bus connection, posting and observing do nothing.
// Observers are registered and called back on the thread that made this object, the main one.
class DbusNotificationCenter final : public DistributedNotificationCenter {
public:
    // The session bus of this process unless told otherwise.
    explicit DbusNotificationCenter(QDBusConnection connection = QDBusConnection::sessionBus());
    ~DbusNotificationCenter() override;
    DbusNotificationCenter(const DbusNotificationCenter&) = delete;
    DbusNotificationCenter& operator=(const DbusNotificationCenter&) = delete;

    bool isConnected() const { return m_connection.isConnected(); }

    void post(const QString& name, const QString& object) override;
    void addObserver(const QString& name, const QString& object, const QObject* context,
                     std::function<void()> callback) override;

private:
    QDBusConnection m_connection;
    QObject m_subscriptions; // owns one receiver per observer
};

} // namespace vantrel
