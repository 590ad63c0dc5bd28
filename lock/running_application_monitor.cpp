#include "lock/running_application_monitor.h"

#include "lock/lock_application.h"
#include "lock/lock_covers.h"
#include "lock/pending_lock_apps.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "store/settings.h"

#include <QObject>

namespace vantrel {
namespace {

struct Monitor {
    // Receiver of the workspace's signals: deleting it ends the watch.
    QObject* context = nullptr;
    QMetaObject::Connection launchObservation;
};

Monitor& monitor() {
    static Monitor state;
    return state;
}

// No wait before either lock: the desktop reports a launch once the first window is there and an
// activation once it has happened, and every moment of waiting is a moment the application is
// usable.
void handleApplicationActivated(const RunningApplicationRef& application) {
    if (!application)
        return;
    if (!isPendingLock(application)) {
        // The user went on to another application: the keyboard is theirs.
        releaseLockKeyboard();
        return;
    }
    if (!isActivateEnabled())
        return;
    if (!application->isHidden())
        lockApplication(application);
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
    lockApplication(launched);
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
    // Covers follow the windows they hide, whoever moves them.
    QObject::connect(workspace, &Workspace::windowsChanged, state.context, &followWindowChanges);
}

void stopMonitoring() {
    QObject::disconnect(monitor().launchObservation);
}

} // namespace vantrel
