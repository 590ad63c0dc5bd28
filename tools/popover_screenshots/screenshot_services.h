#pragma once

#include "platform/memory_defaults_database.h"
#include "platform/modal_alerts.h"
#include "platform/platform.h"

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
    class SilentAlerts final : public ModalAlerts {
    public:
        int runModal(const AlertRequest&) override { return FirstButtonReturn; }
    };

    MemoryDefaultsDatabase m_defaults;
    SilentAlerts m_alerts;
};

} // namespace vantrel::screenshots
