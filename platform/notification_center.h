#pragma once

#include <functional>
#include <QObject>
#include <QString>

namespace vantrel {

// Notifications between the programs of one desktop session. Posting never fails loudly: with no
// session to post to, the notification is dropped.
class DistributedNotificationCenter {
public:
    virtual ~DistributedNotificationCenter() = default;

    virtual void post(const QString& name, const QString& object) = 0;

    // Calls back on the main thread for every notification with this name and object, until the
    // context object is destroyed.
    virtual void addObserver(const QString& name, const QString& object, const QObject* context,
                             std::function<void()> callback) = 0;
};

} // namespace vantrel
