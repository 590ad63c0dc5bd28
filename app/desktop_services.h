#pragma once

#include "app/message_box_alerts.h"
#include "app/null_services.h"
#include "platform/linux/plist_defaults_database.h"
#include "platform/linux/qt_delayed_perform.h"
#include "platform/linux/qt_main_screen.h"
#include "platform/platform.h"

namespace vantrel {

// The desktop services of the running program, installed into platform() for the life of this
// object; what was installed before comes back when it ends. Needs the QApplication.
class DesktopServices {
public:
    DesktopServices();
    ~DesktopServices();
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

private:
    Platform m_previous;
    PlistDefaultsDatabase m_defaults;
    QtDelayedPerform m_delayedPerform;
    QtMainScreen m_mainScreen;
    MessageBoxAlerts m_alerts;
    // Until the desktop integrations are in.
    NullWorkspace m_workspace;
    NullWindowList m_windowList;
    NullNotificationCenter m_notifications;
    NullLoginItems m_loginItems;
    NullApplicationPaths m_applicationPaths;
};

} // namespace vantrel
