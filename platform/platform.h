#pragma once

namespace vantrel {

class ApplicationBundles;
class ApplicationLauncher;
class ApplicationPaths;
class DefaultsDatabase;
class DelayedPerform;
class DistributedNotificationCenter;
class LoginItems;
class MainScreen;
class ModalAlerts;
class WindowList;
class Workspace;

// The desktop services of the running process. The program installs the real ones at start-up;
// tests install doubles. Nothing here is owned: whoever installs a service keeps it alive.
struct Platform {
    DefaultsDatabase* defaults = nullptr;
    Workspace* workspace = nullptr;
    WindowList* windowList = nullptr;
    MainScreen* mainScreen = nullptr;
    DelayedPerform* delayedPerform = nullptr;
    ModalAlerts* alerts = nullptr;
    DistributedNotificationCenter* notifications = nullptr;
    LoginItems* loginItems = nullptr;
    ApplicationPaths* applicationPaths = nullptr;
    ApplicationBundles* applicationBundles = nullptr;
    ApplicationLauncher* applicationLauncher = nullptr;
};

Platform& platform();

} // namespace vantrel
