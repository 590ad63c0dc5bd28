#include "controls/control_controllers.h"

#include "app/storyboard.h"
#include "controls/tool_tip_view_controller.h"

namespace vantrel {

void registerControlControllers() {
    storyboard::registerController(toolTipViewControllerIdentifier,
                                   []() -> QObject* { return new ToolTipViewController; });
}

} // namespace vantrel
