#include "screens/list_controllers.h"

#include "app/storyboard.h"
#include "screens/add_app_view_controller.h"
#include "screens/home_view_controller.h"

namespace vantrel {

void registerListControllers() {
    storyboard::registerController(homeViewControllerIdentifier,
                                   [] { return new HomeViewController; });
    storyboard::registerController(addAppViewControllerIdentifier,
                                   [] { return new AddAppViewController; });
}

} // namespace vantrel
