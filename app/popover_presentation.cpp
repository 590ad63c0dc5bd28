#include "app/popover_presentation.h"

#include "app/menu_popover.h"
#include "app/screen_navigator.h"
#include "app/status_item.h"
#include "platform/platform.h"
#include "platform/workspace.h"

namespace vantrel {

void showPopover(MenuPopover& popover, StatusItem& statusItem) {
    StatusBarButton* button = statusItem.button();
    if (!button)
        return;
    // Every opening starts on the password screen, so the list is reached only through it.
    if (auto* root = qobject_cast<ScreenNavigator*>(popover.contentViewController()))
        root->showScreen(ViewControllers::password);
    // The tray's place at this moment: the panel may have moved the icon since the last time.
    popover.showRelativeTo(button->screenGeometry());
    if (platform().workspace)
        platform().workspace->activateSelf(popover.windowHandle());
}

void togglePopover(MenuPopover& popover, StatusItem& statusItem) {
    if (popover.isShown()) {
        popover.performClose();
        return;
    }
    showPopover(popover, statusItem);
}

} // namespace vantrel
