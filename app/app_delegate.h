#pragma once

#include "app/menu_popover.h"
#include "app/popover_window.h"
#include "app/status_item.h"

#include <functional>
#include <memory>
#include <optional>
#include <QObject>
#include <QString>

namespace vantrel {

// The lock engine as the shell starts and stops it. Either call may be left empty.
struct LockEngine {
    std::function<void()> startMonitoring;
    std::function<void()> stopMonitoring;
};

// Starts the program and shuts it down: owns the popover and the status item, starts the lock
// engine, retires a login launcher that is still running, opens the popover once shortly after
// launch, and schedules the rating prompt.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    // What the delegate is given rather than makes itself, so that each piece can be replaced.
    struct Parts {
        std::unique_ptr<StatusItem> statusItem; // a StatusItemWithoutButton when empty
        LockEngine lockEngine;
        std::function<void()> ratingPrompt; // what rateUsOnAppStore runs
        std::function<bool()> lockIsShown;  // whether a lock window is up now; never when empty
        // This program's bundle identifier, told to a running launcher; the main bundle's when
        // left empty.
        std::function<std::optional<QString>()> bundleIdentifier;
        // Tells the user, once, that Vantrel opens in a window because no tray is there.
        std::function<void()> announceWindowWithoutTray;
    };

    explicit AppDelegate(Parts parts, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The start-up sequence; runs once, later calls do nothing.
    void applicationDidFinishLaunching();
    // Shut-down: stops the lock engine's monitoring if it was started.
    void applicationWillTerminate();

    // The status item's click: closes the popover when it is open, opens it otherwise.
    void togglePopover(StatusItem& item);
    // Opens the popover on the password screen under the status item and brings the program
    // forward. Without a tray to hang it from, the screens open in a window instead.
    void showPopover();
    void autoShowPopover();
    // Runs the rating prompt, or, while a lock is up, tries again a little later.
    void rateUsOnAppStore();

    MenuPopover& menuPopover() { return *m_menuPopover; }
    // The window of a desktop without a tray; null until one was needed.
    PopoverWindow* popoverWindow() const { return m_popoverWindow.get(); }
    StatusItem& statusItem() { return *m_statusItem; }

private:
    void configurePopover();
    void openPopoverUnder(const StatusItem& item);
    // The screens in a window of their own; trayMissing: because no tray shows the icon, which
    // the user is told once.
    void openInWindow(bool trayMissing);
    void scheduleTrayCheck();
    void checkTray();

    std::unique_ptr<MenuPopover> m_menuPopover;
    std::unique_ptr<StatusItem> m_statusItem;
    LockEngine m_lockEngine;
    std::function<void()> m_ratingPrompt;
    std::function<bool()> m_lockIsShown;
    std::function<std::optional<QString>()> m_bundleIdentifier;
    std::function<void()> m_announceWindowWithoutTray;
    std::unique_ptr<PopoverWindow> m_popoverWindow;
    bool m_announcedWindow = false;
    bool m_hadTray = false;
    bool m_launched = false;
    bool m_monitoring = false;
};

} // namespace vantrel
