#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace vantrel {

// One Vantrel per session: the first owns its name on the session bus and answers the D-Bus
// activation interface there; a later start hands over to it. A menu entry with
// DBusActivatable, or a second start from a terminal, then shows the first one's popover.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")

public:
    enum class Claim {
        Ours,       // this process is the one
        HandedOver, // another one runs and was asked to show itself
        NoBus,      // no session bus: nothing to say who is first, so run
    };

    explicit SingleInstance(QString serviceName, QObject* parent = nullptr);

    // Asks for the name, and when another process holds it, asks that one to activate. Once,
    // before the event loop runs: a few milliseconds on the bus at start-up.
    Claim claim();

    // The object path the activation convention derives from the name.
    static QString objectPath(const QString& serviceName);

public Q_SLOTS:
    // org.freedesktop.Application
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& actionName, const QVariantList& parameter,
                        const QVariantMap& platformData);

Q_SIGNALS:
    void activated();

private:
    QString m_serviceName;
};

} // namespace vantrel
