// Vantrel: the application locker that lives in the tray.
#include "app/app_controllers.h"
#include "app/app_delegate.h"
#include "app/desktop_services.h"
#include "app/session_check.h"
#include "app/single_instance.h"
#include "app/status_item_controller.h"
#include "app/storyboard.h"
#include "app/termination_signals.h"
#include "app/tray_absence_notice.h"
#include "controls/control_controllers.h"
#include "launcher/launcher_identifiers.h"
#include "lock/app_locker_window.h"
#include "lock/app_locker_window_controller.h"
#include "lock/lock_controllers.h"
#include "lock/running_application_monitor.h"
#include "platform/command_line.h"
#include "platform/wayland/wayland_desktop.h"
#include "platform/x11/x11_display_probe.h"
#include "resources/popover_images.h"
#include "screens/rating_prompt.h"

#include <cstdio>
#include <QApplication>
#include <QTimer>
#include <utility>
#include <variant>

namespace {

bool lockIsShown() {
    const vantrel::AppLockerWindowController* lock = vantrel::existingLockController();
    return lock != nullptr && lock->window()->isVisible();
}

vantrel::WaylandOffer waylandOffer() {
    const vantrel::wayland::CompositorOffer offer = vantrel::wayland::askCompositor();
    if (!offer.answers)
        return vantrel::WaylandOffer::NoCompositor;
    // KWin offers its window management only to a program its desktop entry vouches for.
    if (offer.kwin && !offer.plasmaManagement)
        return vantrel::WaylandOffer::KWinWithholds;
    return offer.offersLockProtocols() ? vantrel::WaylandOffer::LockProtocols
                                       : vantrel::WaylandOffer::LacksProtocols;
}

} // namespace

int main(int argc, char** argv) {
    const vantrel::CommandLineAnswer answer = vantrel::answerCommandLine(
        argc, argv,
        QStringLiteral("Vantrel locks chosen desktop applications behind a master password. It "
                       "lives in the system tray;\nits popover keeps the list of locked "
                       "applications."),
        QStringLiteral(VANTREL_VERSION));
    if (answer.answered)
        return answer.exitStatus;

    // Before Qt starts: without a display it would abort with a message of its own.
    const vantrel::SessionFacts session = vantrel::currentSessionFacts(argc, argv);
    const std::variant<vantrel::DesktopKind, QString> desktop =
        vantrel::chooseDesktop(session, {&vantrel::x11DisplayOpens, &waylandOffer});
    if (const QString* problem = std::get_if<QString>(&desktop)) {
        std::fprintf(stderr, "%s\n", qPrintable(*problem));
        return 1;
    }
    // On Wayland Qt could pick XWayland, which sees none of the Wayland clients.
    if (std::get<vantrel::DesktopKind>(desktop) == vantrel::DesktopKind::Wayland &&
        session.qtPlatform.isEmpty())
        qputenv("QT_QPA_PLATFORM", "wayland");

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    // Our windows' Wayland app_id, which is also how the desktop finds our entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.corvane.vantrel"));
    // The preferences window and the alerts carry the badge in title bars and task bars.
    QApplication::setWindowIcon(vantrel::popoverImage(QStringLiteral("vantrel_badge")));
    // No main window: the program lives in the tray until asked to quit.
    QApplication::setQuitOnLastWindowClosed(false);

    // A second start shows the first one's popover and ends.
    vantrel::SingleInstance instance(vantrel::login_launcher::mainBundleIdentifier);
    if (instance.claim() == vantrel::SingleInstance::Claim::HandedOver)
        return 0;

    vantrel::DesktopServices services;
    const vantrel::TerminationSignals terminationSignals;
    // Running without seeing the windows would only look like locking; the reason is on stderr.
    if (std::get<vantrel::DesktopKind>(desktop) == vantrel::DesktopKind::Wayland &&
        !services.hasDesktop())
        return 1;
    vantrel::registerAppControllers();
    vantrel::registerLockControllers();
    vantrel::registerControlControllers();

    vantrel::AppDelegate::Parts parts;
    parts.statusItem = std::make_unique<vantrel::StatusItemController>(
        vantrel::popoverImage(QStringLiteral("menu_icon")));
    parts.lockEngine = {&vantrel::startMonitoring, &vantrel::stopMonitoring};
    parts.ratingPrompt = &vantrel::rateUsOnAppStore;
    parts.lockIsShown = &lockIsShown;
    parts.announceWindowWithoutTray = &vantrel::announceWindowWithoutTray;
    vantrel::AppDelegate delegate(std::move(parts));
    QObject::connect(&instance, &vantrel::SingleInstance::activated, &delegate,
                     &vantrel::AppDelegate::showPopover);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate,
                     &vantrel::AppDelegate::applicationWillTerminate);
    // Start-up runs from the event loop, once it is going.
    QTimer::singleShot(0, &delegate, &vantrel::AppDelegate::applicationDidFinishLaunching);
    const int status = application.exec();
    vantrel::storyboard::releaseSharedControllers();
    return status;
}
