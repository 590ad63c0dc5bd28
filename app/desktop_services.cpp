#include "app/desktop_services.h"

#include "app/shared_identifiers.h"

namespace vantrel {

DesktopServices::DesktopServices()
    : m_previous(platform())
    , m_defaults(PlistDefaultsDatabase::defaultFilePath(mainBundleIdentifier)) {
    Platform& services = platform();
    services.defaults = &m_defaults;
    services.workspace = &m_workspace;
    services.windowList = &m_windowList;
    services.mainScreen = &m_mainScreen;
    services.delayedPerform = &m_delayedPerform;
    services.alerts = &m_alerts;
    services.notifications = &m_notifications;
    services.loginItems = &m_loginItems;
    services.applicationPaths = &m_applicationPaths;
}

DesktopServices::~DesktopServices() {
    platform() = m_previous;
}

} // namespace vantrel
