#include "app/popover_controllers.h"

#include "app/storyboard.h"
#include "app/view_controller.h"
#include "screens/password_view_controller.h"

namespace vantrel {

void registerPopoverControllers() {
    storyboard::registerController(popoverRootIdentifier(), [] { return new ViewController; });
    storyboard::registerController(QStringLiteral("PasswordViewController"),
                                   [] { return new PasswordViewController; });
}

} // namespace vantrel
