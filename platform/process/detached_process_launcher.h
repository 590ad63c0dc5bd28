#pragma once

#include "platform/application_launcher.h"

namespace vantrel {

// Starts programs as detached processes that inherit this program's environment.
class DetachedProcessLauncher final : public ApplicationLauncher {
public:
    bool launchApplication(const QString& executablePath) override;
};

} // namespace vantrel
