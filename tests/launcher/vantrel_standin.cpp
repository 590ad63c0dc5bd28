// Stands in for Vantrel in the launcher's tests: does at start what Vantrel does for its login
// launcher (post the quit notification when one runs), then stays until it is ended.
#include "launcher/launcher_identifiers.h"
#include "platform/bundle_info.h"
#include "platform/freedesktop/dbus_notification_center.h"
#include "platform/process/proc_workspace.h"

#include <algorithm>
#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    namespace ids = vantrel::login_launcher;

    vantrel::ProcWorkspace workspace;
    vantrel::DbusNotificationCenter notifications;
    const vantrel::RunningApplicationList running = workspace.runningApplications();
    const bool launcherRuns = std::any_of(
        running.begin(), running.end(), [](const vantrel::RunningApplicationRef& application) {
            return application->bundleIdentifier() == ids::launcherBundleIdentifier;
        });
    const std::optional<vantrel::BundleInfo> bundle = vantrel::mainBundle();
    const std::optional<QString> identifier =
        bundle ? bundle->bundleIdentifier() : std::optional<QString>();
    if (launcherRuns && identifier)
        notifications.post(ids::quitNotificationName, *identifier);
    return app.exec();
}
