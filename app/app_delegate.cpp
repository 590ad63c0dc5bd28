#include "app/app_delegate.h"

#include "app/launcher_retirement.h"
#include "app/storyboard.h"
#include "app/view_controller.h"
#include "platform/bundle_info.h"
#include "platform/delayed_perform.h"
#include "platform/platform.h"
#include "platform/workspace.h"

#include <chrono>

namespace vantrel {
namespace {

using namespace std::chrono_literals;

constexpr auto autoShowDelay = 1000ms;
constexpr auto ratingPromptDelay = 300s;
// How often a rating prompt held back by a lock looks again.
constexpr auto ratingRetryInterval = 30s;
// How often the tray is looked for: Qt tells no one when a panel with the tray quits.
constexpr auto trayCheckInterval = 2s;

std::optional<QString> mainBundleIdentifier() {
    const std::optional<BundleInfo> bundle = mainBundle();
    return bundle ? bundle->bundleIdentifier() : std::nullopt;
}

ViewController* popoverRoot() {
    return storyboard::sharedController<ViewController>(QStringLiteral("ViewController"));
}

} // namespace

AppDelegate::AppDelegate(Parts parts, QObject* parent)
    : QObject(parent)
    , m_menuPopover(std::make_unique<MenuPopover>())
    , m_statusItem(parts.statusItem ? std::move(parts.statusItem)
                                    : std::make_unique<StatusItemWithoutButton>())
    , m_lockEngine(std::move(parts.lockEngine))
    , m_ratingPrompt(std::move(parts.ratingPrompt))
    , m_lockIsShown(std::move(parts.lockIsShown))
    , m_bundleIdentifier(parts.bundleIdentifier ? std::move(parts.bundleIdentifier)
                                                : mainBundleIdentifier)
    , m_announceWindowWithoutTray(std::move(parts.announceWindowWithoutTray)) {}

AppDelegate::~AppDelegate() {
    // The item's handler refers to this delegate.
    m_statusItem->setOnClick({});
}

void AppDelegate::applicationDidFinishLaunching() {
    if (m_launched)
        return;
    m_launched = true;

    if (m_lockEngine.startMonitoring) {
        m_lockEngine.startMonitoring();
        m_monitoring = true;
    }

    configurePopover();

    m_statusItem->setOnClick([this](StatusItem& item) { togglePopover(item); });

    // Scheduled with this delegate as context, so nothing runs once it is gone.
    DelayedPerform* delayed = platform().delayedPerform;
    if (delayed)
        delayed->perform(autoShowDelay, this, [this] { autoShowPopover(); });

    retireRunningLauncher(m_bundleIdentifier());

    m_hadTray = m_statusItem->buttonGeometry().has_value();
    scheduleTrayCheck();

    if (delayed)
        delayed->perform(ratingPromptDelay, this, [this] { rateUsOnAppStore(); });
}

void AppDelegate::applicationWillTerminate() {
    if (!m_monitoring)
        return;
    m_monitoring = false;
    if (m_lockEngine.stopMonitoring)
        m_lockEngine.stopMonitoring();
}

void AppDelegate::configurePopover() {
    // Qt popups neither animate nor outlive a click elsewhere: that is the behaviour we want.
    m_menuPopover->setContent(popoverRoot());
}

void AppDelegate::scheduleTrayCheck() {
    if (DelayedPerform* delayed = platform().delayedPerform)
        delayed->perform(trayCheckInterval, this, [this] { checkTray(); });
}

void AppDelegate::checkTray() {
    const bool hasTray = m_statusItem->buttonGeometry().has_value();
    // The tray went away: the way in must not go with it.
    if (m_hadTray && !hasTray)
        openInWindow(true);
    m_hadTray = hasTray;
    scheduleTrayCheck();
}

void AppDelegate::openInWindow(bool trayMissing) {
    ViewController* root = popoverRoot();
    if (!m_popoverWindow)
        m_popoverWindow = std::make_unique<PopoverWindow>();
    m_menuPopover->close();
    m_popoverWindow->setContent(root);
    if (root)
        root->showScreen(ViewControllers::password);
    m_popoverWindow->show();
    m_popoverWindow->raise();
    if (Workspace* workspace = platform().workspace)
        workspace->activateSelf(m_popoverWindow->windowHandle());
    if (trayMissing && !m_announcedWindow) {
        m_announcedWindow = true;
        if (m_announceWindowWithoutTray)
            m_announceWindowWithoutTray();
    }
}

void AppDelegate::togglePopover(StatusItem& item) {
    if (m_menuPopover->isShown()) {
        m_menuPopover->close();
        return;
    }
    openPopoverUnder(item);
}

void AppDelegate::showPopover() {
    openPopoverUnder(*m_statusItem);
}

void AppDelegate::autoShowPopover() {
    showPopover();
}

void AppDelegate::rateUsOnAppStore() {
    // A prompt over a lock would come between the user and the password.
    if (m_lockIsShown && m_lockIsShown()) {
        if (DelayedPerform* delayed = platform().delayedPerform)
            delayed->perform(ratingRetryInterval, this, [this] { rateUsOnAppStore(); });
        return;
    }
    if (m_ratingPrompt)
        m_ratingPrompt();
}

void AppDelegate::openPopoverUnder(const StatusItem& item) {
    const std::optional<QRect> button = item.buttonGeometry();
    // A tray that does not say where the icon is (a StatusNotifierItem host on Wayland): a
    // popover has nothing to point at, and a window does as well.
    if (!button || button->isEmpty()) {
        openInWindow(!button);
        return;
    }

    // A tray came back: the screens move from the window to the popover again.
    if (m_popoverWindow) {
        m_popoverWindow->hide();
        m_menuPopover->setContent(popoverRoot());
    }

    // Every opening starts on the password screen, whatever was shown when it closed.
    if (ViewController* root = popoverRoot())
        root->showScreen(ViewControllers::password);

    m_menuPopover->showRelativeTo(*button);

    // So that the popover's fields take the keyboard.
    if (Workspace* workspace = platform().workspace)
        workspace->activateSelf(m_menuPopover->windowHandle());
}

} // namespace vantrel
