#include "app/app_controllers.h"

#include "app/storyboard.h"
#include "app/view_controller.h"

namespace vantrel {

void registerAppControllers() {
    storyboard::registerController(QStringLiteral("ViewController"),
                                   []() -> QObject* { return new ViewController; });
}

} // namespace vantrel
