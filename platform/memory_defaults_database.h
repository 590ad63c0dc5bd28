#pragma once

#include "platform/defaults_database.h"

namespace vantrel {

// Settings that live in memory only, for runs that must not touch a user's file: pictures of
// the screens, fuzzing.
class MemoryDefaultsDatabase final : public DefaultsDatabase {
public:
    QVariant value(const QString& key) const override { return m_values.value(key); }
    QVariantMap allValues() const override { return m_values; }
    bool setValue(const QString& key, const QVariant& value) override {
        m_values.insert(key, value);
        return true;
    }
    bool removeValue(const QString& key) override {
        m_values.remove(key);
        return true;
    }

private:
    QVariantMap m_values;
};

} // namespace vantrel
