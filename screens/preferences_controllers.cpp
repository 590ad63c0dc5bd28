#include "screens/preferences_controllers.h"

#include "app/storyboard.h"
#include "screens/preferences_window_controller.h"

namespace vantrel {

void registerPreferencesControllers() {
    storyboard::registerController(preferencesWindowControllerIdentifier,
                                   []() -> QObject* { return new PreferencesWindowController; });
}

} // namespace vantrel
