#include "controls/show_tool_tip.h"

#include "app/storyboard.h"
#include "controls/tool_tip_view_controller.h"

#include <QLabel>
#include <QWidget>

namespace vantrel {

void showToolTip(QWidget* anchor, const QString& message, RectEdge preferredEdge) {
    auto* controller =
        storyboard::sharedController<ToolTipViewController>(toolTipViewControllerIdentifier);
    if (!controller || !anchor)
        return;
    ToolTipPopover* popover = controller->popover();
    popover->setContentViewController(controller);
    controller->loadView();
    if (QLabel* label = controller->lblMessage())
        label->setText(message);
    QWidget* view = controller->view();
    controller->sizeViewToMessage();
    popover->setContentSize(view->size());
    popover->setBehavior(ToolTipPopover::Behavior::Transient);
    popover->setAnimates(false);
    popover->showRelativeTo(anchor->rect(), anchor, preferredEdge);
}

} // namespace vantrel
