#pragma once

#include "controls/message_box_alerts.h"
#include "platform/freedesktop/dbus_notification_center.h"
#include "platform/freedesktop/desktop_application_bundles.h"
#include "platform/freedesktop/desktop_entry_cache.h"
#include "platform/freedesktop/xdg_application_paths.h"
#include "platform/linux/plist_defaults_database.h"
#include "platform/linux/qt_delayed_perform.h"
#include "platform/linux/qt_main_screen.h"
#include "platform/platform.h"
#include "platform/process/detached_process_launcher.h"
#include "platform/process/proc_workspace.h"
#include "platform/wayland/toplevel_workspace.h"
#include "platform/window_list.h"
#include "platform/x11/x11_desktop.h"

#include <memory>
#include <optional>

namespace vantrel {

class LoginItems;

// The desktop services of the running program, installed into platform() for the life of this
// object; what was installed before comes back when it ends. Needs the QApplication.
class DesktopServices {
public:
    DesktopServices();
    ~DesktopServices();
    DesktopServices(const DesktopServices&) = delete;
    DesktopServices& operator=(const DesktopServices&) = delete;

    // False when Qt runs neither on X11 nor on a compositor with a window-management protocol:
    // nothing can then be watched or locked.
    bool hasDesktop() const { return m_desktop.has_value() || m_waylandWorkspace != nullptr; }

private:
    Platform m_previous;
    PlistDefaultsDatabase m_defaults;
    QtDelayedPerform m_delayedPerform;
    QtMainScreen m_mainScreen;
    MessageBoxAlerts m_alerts;
    DbusNotificationCenter m_notifications;
    std::unique_ptr<LoginItems> m_loginItems;
    XdgApplicationPaths m_applicationPaths;
    DesktopApplicationBundles m_applicationBundles;
    DetachedProcessLauncher m_launcher;
    // Our own windowless programs, found by their bundles.
    ProcWorkspace m_bundledProcesses;
    DesktopEntryCache m_desktopEntries;
    std::optional<X11Desktop> m_desktop;
    std::unique_ptr<wayland::ToplevelWorkspace> m_waylandWorkspace;
};

} // namespace vantrel
