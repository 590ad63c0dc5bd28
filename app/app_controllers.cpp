#include "app/app_controllers.h"

#include "app/menu_popover.h"
#include "app/popover_controllers.h"
#include "app/screen_navigator.h"
#include "app/storyboard.h"
#include "screens/add_app_view_controller.h"
#include "screens/home_view_controller.h"
#include "screens/list_controllers.h"
#include "screens/preferences_controllers.h"

namespace vantrel {
namespace {

void navigate(ViewControllers screen) {
    if (ScreenNavigator* navigator = popoverNavigator())
        navigator->showScreen(screen);
}

} // namespace

void registerAppControllers() {
    registerPopoverControllers();
    registerPreferencesControllers();
    // The popover root carries the back and add buttons; the list screens only ask for a move.
    storyboard::registerController(homeViewControllerIdentifier, [] {
        auto* home = new HomeViewController;
        home->setHeaderButtonsVisible(false);
        QObject::connect(home, &HomeViewController::addRequested, home,
                         [] { navigate(ViewControllers::addApp); });
        return home;
    });
    storyboard::registerController(addAppViewControllerIdentifier, [] {
        auto* addApp = new AddAppViewController;
        addApp->setHeaderButtonsVisible(false);
        QObject::connect(addApp, &AddAppViewController::backRequested, addApp,
                         [] { navigate(ViewControllers::home); });
        // Closed before the open panel runs, so that the popover's grab is gone and the panel
        // takes the first click. The window of a desktop without a tray stays open.
        QObject::connect(addApp, &AddAppViewController::closePopoverRequested, addApp, [addApp] {
            if (auto* popover = qobject_cast<MenuPopover*>(addApp->window()))
                popover->performClose();
        });
        return addApp;
    });
}

} // namespace vantrel
