#include "app/launcher_retirement.h"

#include "launcher/launcher_identifiers.h"
#include "platform/login_items.h"
#include "platform/notification_center.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "store/settings.h"

#include <algorithm>

namespace vantrel {
namespace {

bool launcherIsRunning() {
    const Workspace* workspace = platform().workspace;
    if (!workspace)
        return false;
    const RunningApplicationList running = workspace->runningApplications();
    return std::any_of(running.cbegin(), running.cend(), [](const RunningApplicationRef& app) {
        return app && app->bundleIdentifier() == login_launcher::launcherBundleIdentifier;
    });
}

} // namespace

void retireRunningLauncher(const std::optional<QString>& ownBundleIdentifier) {
    // Looked for first: the registration below must not change what we found.
    const bool found = launcherIsRunning();

    // Switching the login item off belongs to the preferences; here it is only kept on.
    if (readFlag(keys::isLaunchAutomaticallyAtMacStartup) && platform().loginItems)
        platform().loginItems->setEnabled(login_launcher::launcherBundleIdentifier, true);

    // One notification reaches every launcher instance.
    if (found && ownBundleIdentifier && platform().notifications)
        platform().notifications->post(login_launcher::quitNotificationName, *ownBundleIdentifier);
}

} // namespace vantrel
