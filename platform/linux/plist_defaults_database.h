#pragma once

#include "platform/defaults_database.h"

#include <QString>

namespace vantrel {

// The defaults database as one binary property list per user, written atomically with mode 0600.
// A file that does not parse as a dictionary reads as empty and is kept aside as
// "<file>.corrupt" before the next write replaces it.
class PlistDefaultsDatabase final : public DefaultsDatabase {
public:
    explicit PlistDefaultsDatabase(QString filePath);

    // $XDG_CONFIG_HOME/<domain>.plist, or ~/.config/<domain>.plist when the variable is unset or
    // empty.
    static QString defaultFilePath(const QString& domain);

    const QString& filePath() const { return m_filePath; }

    QVariant value(const QString& key) const override;
    QVariantMap allValues() const override;
    bool setValue(const QString& key, const QVariant& value) override;
    bool removeValue(const QString& key) override;

private:
    QString m_filePath;
};

} // namespace vantrel
