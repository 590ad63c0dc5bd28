#include "app/app_controllers.h"

#include "app/placeholder_screens.h"
#include "app/popover_controllers.h"

namespace vantrel {

void registerAppControllers() {
    registerPopoverControllers();
    // Until the list screens are registered in their place.
    registerPlaceholderScreens();
}

} // namespace vantrel
