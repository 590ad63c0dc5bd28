#include "launcher/app_delegate.h"

#include "launcher/bundle_paths.h"
#include "launcher/launcher_identifiers.h"
#include "platform/application_launcher.h"
#include "platform/notification_center.h"
#include "platform/platform.h"
#include "platform/workspace.h"

#include <algorithm>

namespace vantrel::login_launcher {

AppDelegate::AppDelegate(QString ownBundlePath, QObject* parent)
    : QObject(parent)
    , m_ownBundlePath(std::move(ownBundlePath)) {}

void AppDelegate::applicationDidFinishLaunching() {
    const RunningApplicationList running = platform().workspace->runningApplications();
    const bool mainApplicationRuns =
        std::any_of(running.begin(), running.end(), [](const RunningApplicationRef& application) {
            return application->bundleIdentifier() == mainBundleIdentifier;
        });
    if (mainApplicationRuns) {
        terminate();
        return;
    }

    const std::optional<QString> mainExecutable = mainExecutablePath(m_ownBundlePath);
    if (!mainExecutable) {
        Q_EMIT terminateRequested(misplacedExitCode);
        return;
    }
    // Before the launch: the notification is not queued for observers that come later, and
    // Vantrel posts it as soon as it has started.
    platform().notifications->addObserver(quitNotificationName, mainBundleIdentifier, this,
                                          [this] { terminate(); });
    // A failed launch is not retried: a Vantrel started by other means still ends the wait.
    platform().applicationLauncher->launchApplication(*mainExecutable);
}

void AppDelegate::terminate() {
    Q_EMIT terminateRequested(0);
}

} // namespace vantrel::login_launcher
