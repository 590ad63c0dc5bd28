#pragma once

namespace vantrel {

// A desktop notification (org.freedesktop.Notifications) that says where Vantrel is when the
// desktop has no system tray for its icon. Sent without waiting for an answer; a desktop without
// a notification service simply shows nothing.
void announceWindowWithoutTray();

} // namespace vantrel
