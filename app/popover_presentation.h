#pragma once

namespace vantrel {

class MenuPopover;
class StatusItem;

// Opens the popover under the status item's button on the password screen and brings the program
// forward; nothing when the item has no button. It does not look whether the popover is open.
void showPopover(MenuPopover& popover, StatusItem& statusItem);

// The status item's click: closes the open popover, or opens it as showPopover does.
void togglePopover(MenuPopover& popover, StatusItem& statusItem);

} // namespace vantrel
