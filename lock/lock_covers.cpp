#include "lock/lock_covers.h"

#include "lock/app_locker_view_controller.h"
#include "lock/app_locker_window.h"
#include "lock/app_locker_window_controller.h"
#include "lock/cover_layout.h"
#include "lock/cover_window.h"
#include "lock/lock_application.h"
#include "lock/lock_controllers.h"
#include "lock/lock_frame.h"
#include "lock/pending_lock_apps.h"
#include "lock/surface_watch.h"
#include "platform/input_held.h"
#include "platform/main_screen.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "store/settings.h"

#include <algorithm>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSet>
#include <QWindow>

namespace vantrel {
namespace {

// The applications whose windows must not show: pending ones that locking still applies to.
QList<WindowOwner> lockedApplications() {
    QList<WindowOwner> applications;
    if (pendingLockApps().isEmpty() || !isActivateEnabled())
        return applications;
    const QStringList lockedIds = savedIdsList();
    for (const RunningApplicationRef& application : pendingLockApps()) {
        const std::optional<QString> identifier = application->bundleIdentifier();
        if (!application->isTerminated() && identifier && lockedIds.contains(*identifier))
            applications.append(windowOwnerOf(*application));
    }
    return applications;
}

RunningApplicationRef pendingApplicationOf(const WindowOwner& owner) {
    for (const RunningApplicationRef& application : pendingLockApps()) {
        if (windowOwnerOf(*application) == owner && !application->isTerminated())
            return application;
    }
    return nullptr;
}

// The windows with the preferred one of the application first among its windows.
QList<WindowDescription> preferring(QList<WindowDescription> windows, quint64 preferred,
                                    const WindowOwner& owner) {
    if (preferred == 0)
        return windows;
    const auto found = std::find_if(windows.begin(), windows.end(), [&](const auto& window) {
        return window.windowId == preferred && owner.owns(window);
    });
    if (found != windows.end())
        std::rotate(windows.begin(), found, found + 1);
    return windows;
}

// Shows a surface again where it belongs when someone else moved or unmapped it.
void putBack(QWidget* surface, const QRect& intended, bool unmapped) {
    if (!surface->isVisible())
        return;
    if (unmapped) {
        surface->hide();
        surface->show();
    }
    if (surface->geometry() != intended)
        surface->setGeometry(intended);
    surface->raise();
}

} // namespace

LockCovers::LockCovers(AppLockerWindow* lockWindow, QObject* parent)
    : QObject(parent)
    , m_lockWindow(lockWindow) {
    new SurfaceWatch(
        m_lockWindow, [this] { return m_prompt.geometry; },
        [this] {
            const bool unmapped = wasUnmapped(m_lockWindow);
            putBack(m_lockWindow, m_prompt.geometry, unmapped);
            const AppLockerViewController* content = AppLockerViewController::shared();
            const RunningApplicationRef asked =
                content != nullptr ? content->runningApp() : nullptr;
            // Mapped anew, it has neither the keyboard nor the focus any more.
            if (unmapped && asked && isPendingLock(asked))
                lockApplication(asked);
            else
                refresh();
        });
    watchScreens();
}

LockCovers::~LockCovers() {
    qDeleteAll(m_covers);
}

void LockCovers::watchScreens() {
    const auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &LockCovers::refresh);
    };
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        refresh();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &LockCovers::refresh,
            Qt::QueuedConnection);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &LockCovers::refresh);
}

CoverWindow* LockCovers::coverAt(qsizetype index) {
    while (m_covers.size() <= index) {
        auto* cover = new CoverWindow;
        const qsizetype slot = m_covers.size();
        m_covers.append(cover);
        m_placed.append(Placed{});
        connect(cover, &CoverWindow::clicked, this,
                [this, cover] { onCoverClicked(cover->owner(), cover->hiddenWindow()); });
        cover->winId();
        adoptLockSurface(cover, false);
        new SurfaceWatch(
            cover, [this, slot] { return m_placed.value(slot).geometry; },
            [this, cover, slot] {
                putBack(cover, m_placed.value(slot).geometry, wasUnmapped(cover));
                m_lockWindow->raise();
            });
    }
    return m_covers[index];
}

void LockCovers::placePrompt(const QRect& geometry) {
    m_prompt.geometry = geometry;
    if (m_lockWindow->geometry() != geometry)
        m_lockWindow->setGeometry(geometry);
}

void LockCovers::layOut(bool windowsChanged) {
    if (m_refreshing)
        return;
    // Locked outside the layout: the lock lays everything out again itself.
    if (const RunningApplicationRef shown = layOutOnce(windowsChanged))
        lockApplication(shown);
}

RunningApplicationRef LockCovers::layOutOnce(bool windowsChanged) {
    const QScopedValueRollback<bool> refreshing(m_refreshing, true);
    const bool promptUp = m_lockWindow->isVisible();
    const bool anyCover = std::any_of(m_covers.cbegin(), m_covers.cend(),
                                      [](const CoverWindow* cover) { return cover->isVisible(); });
    const Platform& services = platform();
    // Nothing locked and nothing shown: nothing to read.
    if (pendingLockApps().isEmpty() && !promptUp && !anyCover) {
        if (services.workspace != nullptr)
            services.workspace->shieldApplications({});
        m_lockedOnScreen.clear();
        return nullptr;
    }

    const std::optional<QRectF> mainScreen =
        services.mainScreen != nullptr ? services.mainScreen->frame() : std::nullopt;
    const QPointF origin = mainScreen ? mainScreen->topLeft() : QPointF();
    CoverFacts facts;
    facts.mainScreenOrigin = origin;
    if (services.mainScreen != nullptr)
        facts.screens = services.mainScreen->screenFrames();
    std::optional<QList<WindowDescription>> listed;
    if (services.windowList != nullptr)
        listed = services.windowList->onScreenWindows();
    facts.windows = listed.value_or(QList<WindowDescription>{});
    facts.lockedApplications = lockedApplications();

    const AppLockerViewController* content = AppLockerViewController::shared();
    const RunningApplicationRef asked = content != nullptr ? content->runningApp() : nullptr;
    bool promptShown = promptUp;
    const bool askedShows = asked && !frontWindowBounds(listed, windowOwnerOf(*asked)).isEmpty();
    // Where the desktop does not say where windows are, nothing tells when a window comes back
    // before it shows: the lock stays up until the application quits or the lock is dismissed.
    const bool placementKnown =
        services.workspace == nullptr || services.workspace->knowsWindowPlacement();
    if (promptUp && windowsChanged && asked &&
        (asked->isTerminated() ||
         (placementKnown && (asked->isHidden() || (m_promptOverWindow && !askedShows))))) {
        // Nothing of it left to stand over: it is covered again when it comes back, as after a
        // hide from the lock window.
        m_lockWindow->closeWindow();
        pruneTerminatedPendingLocks();
        facts.lockedApplications = lockedApplications();
        promptShown = false;
    }
    if (!promptShown)
        m_promptOverWindow = false;
    if (promptShown) {
        facts.fullScreenMode = lockCoversWholeScreens();
        // The lock follows its window; without one on screen it stays where it is.
        if (asked && isPendingLock(asked) && (facts.fullScreenMode || askedShows)) {
            LockFrameInputs inputs;
            inputs.fullScreenMode = facts.fullScreenMode;
            inputs.owner = windowOwnerOf(*asked);
            inputs.activationPolicy = asked->activationPolicy();
            inputs.onScreenWindows = preferring(facts.windows, m_preferredWindow, inputs.owner);
            m_promptOverWindow = askedShows;
            inputs.mainScreen = mainScreen;
            for (const QRectF& screen : std::as_const(facts.screens))
                inputs.screens.append(screen.translated(-origin));
            if (const std::optional<QRectF> frame = computeLockFrame(inputs))
                placePrompt(windowGeometryForLockFrame(*frame, mainScreen));
        } else if (m_prompt.geometry.isNull()) {
            m_prompt.geometry = m_lockWindow->geometry();
        }
        facts.prompt = m_prompt.geometry;
        facts.ownWindows.append(m_lockWindow->winId());
    }
    for (const CoverWindow* cover : std::as_const(m_covers)) {
        if (cover->isVisible())
            facts.ownWindows.append(cover->winId());
    }

    // Clicks are kept from their windows beneath the covers too: a window that comes back is on
    // screen a moment before its cover.
    if (services.workspace != nullptr)
        services.workspace->shieldApplications(facts.lockedApplications);
    const CoverPlan plan = planCovers(facts);
    // A locked window that comes on screen with no lock window up (restored, back from another
    // desktop) is asked for at once, keyboard and all, as if it had come forward. An icon put in
    // the tray has not come forward.
    QSet<quint64> trayIcons;
    for (const WindowDescription& window : std::as_const(facts.windows)) {
        if (window.trayIcon)
            trayIcons.insert(window.windowId);
    }
    // Only a window that was off the screen comes back: one that was there under the lock window
    // (a frame a window manager animates as it minimises it) is on its way out, and asked for,
    // the lock would close again at once, over and over.
    RunningApplicationRef shownAgain;
    for (const Cover& cover : plan.covers) {
        if (windowsChanged && !promptShown && !shownAgain && cover.windowId != 0 &&
            !m_lockedOnScreen.contains(cover.windowId) && !trayIcons.contains(cover.windowId))
            shownAgain = pendingApplicationOf(cover.owner);
    }
    m_lockedOnScreen.clear();
    for (const WindowDescription& window : std::as_const(facts.windows)) {
        if (std::any_of(facts.lockedApplications.cbegin(), facts.lockedApplications.cend(),
                        [&](const WindowOwner& owner) { return owner.owns(window); }))
            m_lockedOnScreen.insert(window.windowId);
    }
    bool shownNow = false;
    for (qsizetype i = 0; i < plan.covers.size(); ++i) {
        const Cover& wanted = plan.covers[i];
        CoverWindow* cover = coverAt(i);
        const RunningApplicationRef owner = pendingApplicationOf(wanted.owner);
        // Icons are files, left for the next layout while the user's input is held.
        cover->setOwner(wanted.owner, wanted.windowId,
                        owner && !isInputHeld() ? owner->icon() : QIcon(),
                        owner ? owner->localizedName().value_or(QString()) : QString());
        m_placed[i].geometry = wanted.geometry;
        if (cover->geometry() != wanted.geometry)
            cover->setGeometry(wanted.geometry);
        if (!cover->isVisible()) {
            cover->show();
            shownNow = true;
        }
    }
    for (qsizetype i = plan.covers.size(); i < m_covers.size(); ++i) {
        m_placed[i] = Placed{};
        m_covers[i]->hide();
    }

    if (plan.raise) {
        for (qsizetype i = 0; i < plan.covers.size(); ++i)
            m_covers[i]->raise();
    }
    // A cover mapped just now stands above the lock window; the prompt stays on top.
    if (promptShown && (plan.raise || shownNow))
        m_lockWindow->raise();
    return shownAgain;
}

void LockCovers::windowsChanged() {
    layOut(true);
}

void LockCovers::onCoverClicked(const WindowOwner& owner, quint64 hiddenWindow) {
    const RunningApplicationRef application = pendingApplicationOf(owner);
    if (!application)
        return;
    lockApplication(application);
    // Over the window the user went for.
    if (hiddenWindow != 0) {
        m_preferredWindow = hiddenWindow;
        refresh();
    }
}

void refreshLockCovers() {
    if (AppLockerWindowController* controller = existingLockController())
        controller->covers()->refresh();
}

void followWindowChanges() {
    if (AppLockerWindowController* controller = existingLockController())
        controller->covers()->windowsChanged();
}

} // namespace vantrel
