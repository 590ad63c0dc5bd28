#pragma once

#include "platform/defaults_database.h"
#include "platform/modal_alerts.h"
#include "platform/platform.h"

#include <QVariantMap>

namespace vantrel::screenshots {

// Settings in memory and silent alerts, so that taking pictures touches no user's files.
class ScreenshotServices {
public:
    ScreenshotServices() {
        platform().defaults = &m_defaults;
        platform().alerts = &m_alerts;
    }
    ~ScreenshotServices() {
        platform().defaults = nullptr;
        platform().alerts = nullptr;
    }
    ScreenshotServices(const ScreenshotServices&) = delete;
    ScreenshotServices& operator=(const ScreenshotServices&) = delete;

private:
    class MemoryDefaults final : public DefaultsDatabase {
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
    class SilentAlerts final : public ModalAlerts {
    public:
        int runModal(const AlertRequest&) override { return FirstButtonReturn; }
    };

    MemoryDefaults m_defaults;
    SilentAlerts m_alerts;
};

} // namespace vantrel::screenshots
