#include "lock/running_application_monitor.h"

#include "lock/lock_application.h"
#include "lock/pending_lock_apps.h"
#include "platform/delayed_perform.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "store/settings.h"

#include <chrono>
#include <QObject>

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// Give the desktop time to finish the activation, and a launched application time to map its
// first window, before the window list is read.
constexpr auto activationSettleDelay = 100ms;
constexpr auto launchSettleDelay = 1000ms;

struct Monitor {
    // Receiver of the workspace's signals and context of the waits: deleting it ends both.
    QObject* context = nullptr;
    QMetaObject::Connection launchObservation;
};

Monitor& monitor() {
    static Monitor state;
    return state;
}

void afterDelay(std::chrono::milliseconds delay, std::function<void()> action) {
    if (platform().delayedPerform != nullptr)
        platform().delayedPerform->perform(delay, monitor().context, std::move(action));
}

void handleApplicationActivated(const RunningApplicationRef& application) {
    if (!isActivateEnabled())
        return;
    afterDelay(activationSettleDelay, [application] {
        if (pendingLockApps().isEmpty() || !application)
            return;
        if (isPendingLock(application) && !application->isHidden())
            lockApplication(application);
    });
}

void handleRunningApplicationsChanged(const RunningApplicationsChange& change) {
    // Quits carry no new applications; of several launched at once only the first counts.
    if (!change.newApplications || change.newApplications->isEmpty())
        return;
    const RunningApplicationRef launched = change.newApplications->first();
    if (!launched)
        return;
    if (!isActivateEnabled())
        return;
    afterDelay(launchSettleDelay, [launched] { lockApplication(launched); });
}

} // namespace

void startMonitoring() {
    Monitor& state = monitor();
    delete state.context;
    state.context = new QObject;
    Workspace* workspace = platform().workspace;
    if (workspace == nullptr)
        return;
    QObject::connect(workspace, &Workspace::applicationActivated, state.context,
                     &handleApplicationActivated);
    state.launchObservation = QObject::connect(workspace, &Workspace::runningApplicationsChanged,
                                               state.context, &handleRunningApplicationsChanged);
}

void stopMonitoring() {
    QObject::disconnect(monitor().launchObservation);
}

} // namespace vantrel
