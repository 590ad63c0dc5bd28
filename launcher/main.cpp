// VantrelHelper, the login item that starts Vantrel.
#include "launcher/app_delegate.h"
#include "launcher/bundle_paths.h"
#include "platform/command_line.h"
#include "platform/freedesktop/dbus_notification_center.h"
#include "platform/platform.h"
#include "platform/process/detached_process_launcher.h"
#include "platform/process/proc_workspace.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    const vantrel::CommandLineAnswer answer = vantrel::answerCommandLine(
        argc, argv,
        QStringLiteral("VantrelHelper starts Vantrel when you log in, unless it is running "
                       "already, and then quits."),
        QStringLiteral(VANTREL_VERSION));
    if (answer.answered)
        return answer.exitStatus;

    // No GUI application: without a window the helper has no place in the task bar or switcher.
    QCoreApplication application(argc, argv);

    vantrel::ProcWorkspace workspace;
    vantrel::DbusNotificationCenter notifications;
    vantrel::DetachedProcessLauncher launcher;
    vantrel::Platform& services = vantrel::platform();
    services.workspace = &workspace;
    services.notifications = &notifications;
    services.applicationLauncher = &launcher;

    using vantrel::login_launcher::AppDelegate;
    AppDelegate delegate(vantrel::login_launcher::ownBundlePath());
    QObject::connect(&delegate, &AppDelegate::terminateRequested, &application,
                     &QCoreApplication::exit);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
    QMetaObject::invokeMethod(&delegate, &AppDelegate::applicationDidFinishLaunching,
                              Qt::QueuedConnection);
    return application.exec();
}
