#include "app/tray_absence_notice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

namespace vantrel {

void announceWindowWithoutTray() {
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QStringLiteral("Vantrel") << 0U << QStringLiteral("com.corvane.vantrel")
           << QStringLiteral("Vantrel is running in a window")
           << QStringLiteral("This desktop has no system tray for Vantrel's icon, so Vantrel "
                             "opens in a window of its own. Start Vantrel again to bring the "
                             "window back.")
           << QStringList()
           << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("com.corvane.vantrel")}}
           << -1;
    QDBusConnection::sessionBus().asyncCall(notify);
}

} // namespace vantrel
