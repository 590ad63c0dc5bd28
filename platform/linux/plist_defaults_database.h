#pragma once

#include "platform/defaults_database.h"

#include <memory>
#include <optional>
#include <QString>

class QFileSystemWatcher;

namespace vantrel {

// The defaults database as one binary property list per user, written atomically with mode 0600.
// A file that does not parse as a dictionary reads as empty and is kept aside as
// "<file>.corrupt" before the next write replaces it.
//
// Every read goes to the file, except while the user's input is held (see isInputHeld): then the
// last reading answers, kept fresh meanwhile by reading again whenever the file's folder changes.
class PlistDefaultsDatabase final : public DefaultsDatabase {
public:
    explicit PlistDefaultsDatabase(QString filePath);
    ~PlistDefaultsDatabase() override;

    // $XDG_CONFIG_HOME/<domain>.plist, or ~/.config/<domain>.plist when the variable is unset or
    // empty.
    static QString defaultFilePath(const QString& domain);

    const QString& filePath() const { return m_filePath; }

    QVariant value(const QString& key) const override;
    QVariantMap allValues() const override;
    bool setValue(const QString& key, const QVariant& value) override;
    bool removeValue(const QString& key) override;

private:
    void remember(const QVariantMap& values) const;

    QString m_filePath;
    mutable std::optional<QVariantMap> m_lastRead;
    mutable std::unique_ptr<QFileSystemWatcher> m_watcher;
};

} // namespace vantrel
