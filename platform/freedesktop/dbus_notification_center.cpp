#include "platform/freedesktop/dbus_notification_center.h"

#include "platform/freedesktop/dbus_notification_names.h"

#include <QDBusMessage>
#include <QPointer>

namespace vantrel {

namespace {

// Receives every Posted signal of the bus and passes on those of one name and object.
class Subscription final : public QObject {
    Q_OBJECT

public:
    Subscription(QString name, QString object, const QObject* context,
                 std::function<void()> callback, QObject* parent)
        : QObject(parent)
        , m_name(std::move(name))
        , m_object(std::move(object))
        , m_context(context)
        , m_hadContext(context != nullptr)
        , m_callback(std::move(callback)) {}

public Q_SLOTS:
    void deliver(const QString& name, const QString& object) {
        // The context may be gone while its deleteLater() is still pending.
        if (m_hadContext && m_context.isNull())
            return;
        if (name == m_name && object == m_object)
            m_callback();
    }

private:
    QString m_name;
    QString m_object;
    QPointer<const QObject> m_context;
    bool m_hadContext;
    std::function<void()> m_callback;
};

} // namespace

DbusNotificationCenter::DbusNotificationCenter(QDBusConnection connection)
    : m_connection(std::move(connection)) {}

// The receivers go with m_subscriptions; QtDBus drops their match rules as they are destroyed.
DbusNotificationCenter::~DbusNotificationCenter() = default;

void DbusNotificationCenter::post(const QString& name, const QString& object) {
    if (!m_connection.isConnected())
        return;
    QDBusMessage message = QDBusMessage::createSignal(dbus_notifications::objectPath,
                                                      dbus_notifications::interfaceName,
                                                      dbus_notifications::postedSignal);
    message << name << object;
    m_connection.send(message);
}

void DbusNotificationCenter::addObserver(const QString& name, const QString& object,
                                         const QObject* context, std::function<void()> callback) {
    if (!m_connection.isConnected())
        return;
    auto* subscription =
        new Subscription(name, object, context, std::move(callback), &m_subscriptions);
    // QtDBus only connects bus signals to slots by name. The empty service accepts the signal
    // from any sender of the session. connect() hands the match rule to the bus before it
    // returns, so a program started after this call cannot post too early for us.
    const bool connected = m_connection.connect(
        QString(), dbus_notifications::objectPath, dbus_notifications::interfaceName,
        dbus_notifications::postedSignal, dbus_notifications::postedSignature, subscription,
        SLOT(deliver(QString, QString)));
    if (!connected) {
        delete subscription;
        return;
    }
    if (context)
        QObject::connect(context, &QObject::destroyed, subscription, &QObject::deleteLater);
}

} // namespace vantrel

#include "dbus_notification_center.moc"
