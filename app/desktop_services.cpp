#include "app/desktop_services.h"

#include "launcher/launcher_identifiers.h"
#include "platform/bundle_info.h"
#include "platform/desktop_entry.h"
#include "platform/freedesktop/desktop_entry_reader.h"
#include "platform/freedesktop/xdg_autostart_login_items.h"
#include "platform/kwin/kwin_window_marks.h"
#include "platform/wayland/wayland_desktop.h"
#include "store/settings.h"

#include <QGuiApplication>

namespace vantrel {
namespace {

// Without a display server we know of, there are no windows to list.
class NoWindowList final : public WindowList {
public:
    std::optional<QList<WindowDescription>> onScreenWindows() const override {
        return std::nullopt;
    }
};

NoWindowList& noWindowList() {
    static NoWindowList list;
    return list;
}

} // namespace

DesktopServices::DesktopServices()
    : m_previous(platform())
    , m_defaults(PlistDefaultsDatabase::defaultFilePath(login_launcher::mainBundleIdentifier))
    , m_applicationPaths(customAppPathsList)
    , m_applicationBundles(customAppPathsList)
    , m_desktopEntries([] { return applicationFolders(); }, customAppPathsList) {
    Platform& services = platform();
    // First: the desktops look up the entries of the applications already running as they are
    // made, and the entries added by hand are in the settings.
    services.defaults = &m_defaults;
    const std::optional<BundleInfo> bundle = mainBundle();
    m_loginItems = std::make_unique<XdgAutostartLoginItems>(
        bundle ? bundle->bundlePath : QString(), XdgAutostartLoginItems::defaultAutostartFolder());

    X11Workspace::Providers providers;
    providers.bundledApplications = [this] { return m_bundledProcesses.runningApplications(); };
    providers.desktopEntries = [this] { return m_desktopEntries.entries(); };
    providers.isLocked = [](const QString& applicationId) {
        return isActivateEnabled() && savedIdsList().contains(applicationId);
    };
    providers.lockedApplicationIds = [] {
        return isActivateEnabled() ? savedIdsList() : QStringList{};
    };
    m_desktop = makeX11Desktop(std::move(providers));
    if (m_desktop) {
        if (std::unique_ptr<kwin::KWinWindowMarks> marks = kwin::KWinWindowMarks::connect())
            m_desktop->workspace->setWindowMarks(std::move(marks));
    }
    if (!m_desktop && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        wayland::ToplevelWorkspace::Providers waylandProviders;
        waylandProviders.desktopEntries = [this] { return m_desktopEntries.entries(); };
        waylandProviders.ownAppId = QGuiApplication::desktopFileName();
        waylandProviders.lockedApplicationIds = [] {
            return isActivateEnabled() ? savedIdsList() : QStringList{};
        };
        m_waylandWorkspace = wayland::makeWaylandWorkspace(std::move(waylandProviders));
    }

    if (m_desktop) {
        services.workspace = m_desktop->workspace.get();
        services.windowList = m_desktop->windowList.get();
    } else if (m_waylandWorkspace) {
        // Where the protocol does not tell where other clients' windows are, the lock covers
        // whole outputs.
        services.workspace = m_waylandWorkspace.get();
        services.windowList = m_waylandWorkspace->windowList() != nullptr
                                  ? m_waylandWorkspace->windowList()
                                  : &noWindowList();
    } else {
        services.workspace = &m_bundledProcesses;
        services.windowList = &noWindowList();
    }
    services.mainScreen = &m_mainScreen;
    services.delayedPerform = &m_delayedPerform;
    services.alerts = &m_alerts;
    services.notifications = &m_notifications;
    services.loginItems = m_loginItems.get();
    services.applicationPaths = &m_applicationPaths;
    services.applicationBundles = &m_applicationBundles;
    services.applicationLauncher = &m_launcher;
}

DesktopServices::~DesktopServices() {
    platform() = m_previous;
}

} // namespace vantrel
