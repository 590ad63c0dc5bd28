// Vantrel: the application locker that lives in the tray.
#include "app/app_controllers.h"
#include "app/app_delegate.h"
#include "app/desktop_services.h"

#include <QApplication>
#include <QTimer>
#include <utility>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    // No main window: the program lives in the tray until asked to quit.
    QApplication::setQuitOnLastWindowClosed(false);

    vantrel::DesktopServices services;
    vantrel::registerAppControllers();

    // The tray icon, the lock engine and the rating prompt are handed over here.
    vantrel::AppDelegate::Parts parts;
    vantrel::AppDelegate delegate(std::move(parts));
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &delegate,
                     &vantrel::AppDelegate::applicationWillTerminate);
    // Start-up runs from the event loop, once it is going.
    QTimer::singleShot(0, &delegate, &vantrel::AppDelegate::applicationDidFinishLaunching);
    return application.exec();
}
