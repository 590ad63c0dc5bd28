#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace vantrel {

// The per-user key-value store that outlives the program. Values are property-list values held in
// QVariant: bool, qint64, double, QString, QByteArray (data), QDateTime, QVariantList, QVariantMap.
// Every read sees the stored state as it is now; every write replaces it at once.
class DefaultsDatabase {
public:
    virtual ~DefaultsDatabase() = default;

    // An invalid QVariant when nothing is stored under the key.
    virtual QVariant value(const QString& key) const = 0;
    virtual QVariantMap allValues() const = 0;

    // False when the change could not be stored; the stored state is then unchanged.
    virtual bool setValue(const QString& key, const QVariant& value) = 0;
    virtual bool removeValue(const QString& key) = 0;
};

} // namespace vantrel
