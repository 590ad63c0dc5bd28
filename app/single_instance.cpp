#include "app/single_instance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace vantrel {

namespace {

// The first process answers from its event loop at once; a hung one must not hang this start.
constexpr int kActivationTimeoutMs = 5000;
const QString kInterface = QStringLiteral("org.freedesktop.Application");

} // namespace

SingleInstance::SingleInstance(QString serviceName, QObject* parent)
    : QObject(parent)
    , m_serviceName(std::move(serviceName)) {}

QString SingleInstance::objectPath(const QString& serviceName) {
    QString path = QLatin1Char('/') + serviceName;
    path.replace(QLatin1Char('.'), QLatin1Char('/'));
    path.replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

SingleInstance::Claim SingleInstance::claim() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return Claim::NoBus;
    const QString path = objectPath(m_serviceName);
    // The object first, so that nobody who sees the name finds nothing behind it.
    bus.registerObject(path, this, QDBusConnection::ExportAllSlots);
    if (bus.registerService(m_serviceName))
        return Claim::Ours;
    bus.unregisterObject(path);

    QDBusMessage activate =
        QDBusMessage::createMethodCall(m_serviceName, path, kInterface, QStringLiteral("Activate"));
    activate << QVariantMap();
    const QDBusMessage reply = bus.call(activate, QDBus::Block, kActivationTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        // The owner is there but does not answer (hung, or another program took the name):
        // still only one Vantrel, so this one ends all the same.
        qWarning("Vantrel runs already, but did not answer: %s", qPrintable(reply.errorMessage()));
    }
    return Claim::HandedOver;
}

void SingleInstance::Activate(const QVariantMap&) {
    Q_EMIT activated();
}

void SingleInstance::Open(const QStringList&, const QVariantMap&) {
    Q_EMIT activated();
}

void SingleInstance::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {
    Q_EMIT activated();
}

} // namespace vantrel
