#include "platform/wayland/wlroots/wayland_workspace.h"

#include "platform/freedesktop/desktop_entry_match.h"
#include "platform/freedesktop/entry_icon.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_lock_surfaces.h"
#include "platform/wayland/wlroots/sway_commands.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <algorithm>
#include <QWindow>
#include <wayland-client.h>

namespace vantrel::wayland {

struct ToplevelListeners {
    static Toplevel& of(void* data) { return *static_cast<Toplevel*>(data); }

    static void title(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* appId) {
        of(data).pendingAppId = QString::fromUtf8(appId);
    }
    static void outputEnter(void* data, zwlr_foreign_toplevel_handle_v1*, wl_output*) {
        Toplevel& toplevel = of(data);
        ++toplevel.outputs;
        toplevel.everOnOutput = true;
    }
    static void outputLeave(void* data, zwlr_foreign_toplevel_handle_v1*, wl_output*) {
        Toplevel& toplevel = of(data);
        toplevel.outputs = std::max(0, toplevel.outputs - 1);
    }
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        Toplevel& toplevel = of(data);
        toplevel.pendingActivated = false;
        toplevel.pendingMinimized = false;
        const auto* state = static_cast<const uint32_t*>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i) {
            if (state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
                toplevel.pendingActivated = true;
            else if (state[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED)
                toplevel.pendingMinimized = true;
        }
    }
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*);
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*);
    static void parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle) {
        static_cast<WaylandWorkspace*>(data)->addToplevel(handle);
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1*) {
        static_cast<WaylandWorkspace*>(data)->managerFinished();
    }
};

namespace {

const zwlr_foreign_toplevel_handle_v1_listener handleListener = {
    &ToplevelListeners::title,       &ToplevelListeners::appId, &ToplevelListeners::outputEnter,
    &ToplevelListeners::outputLeave, &ToplevelListeners::state, &ToplevelListeners::done,
    &ToplevelListeners::closed,      &ToplevelListeners::parent};
const zwlr_foreign_toplevel_manager_v1_listener managerListener = {&ToplevelListeners::toplevel,
                                                                   &ToplevelListeners::finished};

// Far above any process id the kernel hands out, so that no real process is taken for one.
constexpr qint64 firstIdentifier = qint64(1) << 40;

} // namespace

void ToplevelListeners::done(void* data, zwlr_foreign_toplevel_handle_v1*) {
    of(data).workspace->toplevelDone(of(data));
}

void ToplevelListeners::closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
    of(data).workspace->toplevelClosed(of(data));
}

WaylandWorkspace::WaylandWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                                   QObject* parent)
    : Workspace(parent)
    , m_connection(std::move(connection))
    , m_providers(std::move(providers))
    , m_lockSurfaces(std::make_unique<LockSurfaces>(*m_connection))
    , m_sway(SwayCommands::forSession())
    , m_nextIdentifier(firstIdentifier) {
    // Listening from the bind on: the compositor's answer lists the windows open now. Nobody
    // listens to this workspace yet, so their applications are running but not launched, as on
    // X11: locked from their next launch on.
    m_manager = m_connection->bindToplevelManager();
    if (m_manager != nullptr)
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &managerListener, this);
    m_connection->roundtrip();
}

WaylandWorkspace::~WaylandWorkspace() {
    for (const auto& toplevel : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    if (m_manager != nullptr) {
        zwlr_foreign_toplevel_manager_v1_stop(m_manager);
        zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    }
    m_connection->flush();
    for (const auto& application : std::as_const(m_applications))
        application->markTerminated();
}

void WaylandWorkspace::managerFinished() {
    // The compositor announces no more toplevels; those known stay until they close.
    zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
    m_manager = nullptr;
}

void WaylandWorkspace::addToplevel(zwlr_foreign_toplevel_handle_v1* handle) {
    auto toplevel = std::make_unique<Toplevel>();
    toplevel->handle = handle;
    toplevel->workspace = this;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, toplevel.get());
    m_toplevels.push_back(std::move(toplevel));
}

std::shared_ptr<WaylandRunningApplication> WaylandWorkspace::applicationFor(const QString& appId) {
    WaylandRunningApplication::Identity identity;
    identity.appId = appId;
    identity.identifier = m_nextIdentifier++;
    ApplicationHints hints;
    // An app_id is what a Wayland client offers in place of WM_CLASS and the application id.
    hints.gtkApplicationId = appId;
    hints.classInstance = appId;
    hints.className = appId;
    const QList<DesktopEntry> entries =
        m_providers.desktopEntries ? m_providers.desktopEntries() : QList<DesktopEntry>{};
    if (const std::optional<DesktopEntry> entry = matchDesktopEntry(hints, entries)) {
        identity.bundleIdentifier = entry->id;
        identity.name = entry->name.isEmpty() ? entry->id : entry->name;
        identity.iconName = entry->icon;
    } else {
        identity.name = appId;
    }
    return std::make_shared<WaylandRunningApplication>(std::move(identity), this);
}

void WaylandWorkspace::toplevelDone(Toplevel& toplevel) {
    const bool newlyActivated = toplevel.pendingActivated && !toplevel.activated;
    toplevel.activated = toplevel.pendingActivated;
    toplevel.minimized = toplevel.pendingMinimized;
    if (newlyActivated) {
        toplevel.lastActivated = ++m_activations;
        // Activated, it is out of the scratchpad.
        toplevel.inScratchpad = false;
    }
    if (!toplevel.announced) {
        // Some clients set their app_id only after the first commit.
        if (toplevel.pendingAppId.isEmpty())
            return;
        toplevel.announced = true;
        toplevel.appId = toplevel.pendingAppId;
    }
    if (toplevel.appId == m_providers.ownAppId)
        return;
    std::shared_ptr<WaylandRunningApplication>& slot = m_applications[toplevel.appId];
    const bool launched = !slot;
    if (launched)
        slot = applicationFor(toplevel.appId);
    // A copy: the handlers of the signals below may change the table.
    const std::shared_ptr<WaylandRunningApplication> application = slot;
    const bool wasHidden = application->isHidden();
    application->setHidden(allHidden(*application));
    if (launched)
        Q_EMIT runningApplicationsChanged(
            RunningApplicationsChange{RunningApplicationList{application}});
    Q_EMIT windowsChanged();
    // Back in sight counts as coming forward: a locked application is locked again before it is
    // used, whether or not the compositor also activates it.
    if (newlyActivated || (wasHidden && !application->isHidden() && !launched))
        Q_EMIT applicationActivated(application);
}

void WaylandWorkspace::toplevelClosed(Toplevel& closing) {
    const QString appId = closing.announced ? closing.appId : QString();
    zwlr_foreign_toplevel_handle_v1_destroy(closing.handle);
    const auto found = std::find_if(
        m_toplevels.begin(), m_toplevels.end(),
        [&closing](const std::unique_ptr<Toplevel>& each) { return each.get() == &closing; });
    std::unique_ptr<Toplevel> kept;
    if (found != m_toplevels.end()) {
        kept = std::move(*found);
        m_toplevels.erase(found);
    }
    const std::shared_ptr<WaylandRunningApplication> application = m_applications.value(appId);
    if (!application)
        return;
    const QList<Toplevel*> left = toplevelsOf(*application);
    if (left.isEmpty()) {
        application->markTerminated();
        m_applications.remove(appId);
        Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
    } else {
        application->setHidden(allHidden(*application));
    }
    Q_EMIT windowsChanged();
}

bool WaylandWorkspace::allHidden(const WaylandRunningApplication& application) const {
    const QList<Toplevel*> toplevels = toplevelsOf(application);
    return std::all_of(toplevels.cbegin(), toplevels.cend(),
                       [](const Toplevel* each) { return each->isHidden(); });
}

void WaylandWorkspace::updateHidden(WaylandRunningApplication& application) {
    const bool hidden = allHidden(application);
    if (hidden == application.isHidden())
        return;
    application.setHidden(hidden);
    Q_EMIT windowsChanged();
}

QList<Toplevel*> WaylandWorkspace::toplevelsOf(const WaylandRunningApplication& application) const {
    QList<Toplevel*> toplevels;
    for (const auto& toplevel : m_toplevels) {
        if (toplevel->announced && toplevel->appId == application.appId())
            toplevels.append(toplevel.get());
    }
    return toplevels;
}

RunningApplicationList WaylandWorkspace::runningApplications() const {
    RunningApplicationList applications;
    for (const auto& application : m_applications)
        applications.append(application);
    return applications;
}

void WaylandWorkspace::activateSelf(QWindow* keyWindow) {
    // The lock's surfaces take the keyboard themselves; any other window of ours can only ask.
    if (keyWindow != nullptr && !m_lockSurfaces->isPresented(keyWindow))
        keyWindow->requestActivate();
}

bool WaylandWorkspace::presentLockSurface(QWidget* surface, const QColor& fill,
                                          bool takesKeyboard) {
    m_lockSurfaces->present(surface, fill, takesKeyboard);
    return true;
}

bool WaylandWorkspace::minimize(const WaylandRunningApplication& application) {
    const QList<Toplevel*> toplevels = toplevelsOf(application);
    if (toplevels.isEmpty())
        return false;
    for (Toplevel* toplevel : toplevels)
        zwlr_foreign_toplevel_handle_v1_set_minimized(toplevel->handle);
    m_connection->flush();
    // sway has no minimised state and ignores the request; its scratchpad hides windows instead,
    // and the toplevels say nothing of it: not minimised, not leaving their output.
    if (m_sway) {
        const QString appId = application.appId();
        m_sway->moveToScratchpad(appId, [this, appId](bool moved) {
            const std::shared_ptr<WaylandRunningApplication> moving = m_applications.value(appId);
            if (!moved || !moving)
                return;
            for (Toplevel* toplevel : toplevelsOf(*moving))
                toplevel->inScratchpad = true;
            updateHidden(*moving);
        });
    }
    return true;
}

bool WaylandWorkspace::activate(const WaylandRunningApplication& application) {
    const QList<Toplevel*> toplevels = toplevelsOf(application);
    if (toplevels.isEmpty() || m_connection->seat() == nullptr)
        return false;
    Toplevel* latest = *std::max_element(
        toplevels.cbegin(), toplevels.cend(),
        [](const Toplevel* a, const Toplevel* b) { return a->lastActivated < b->lastActivated; });
    if (latest->minimized)
        zwlr_foreign_toplevel_handle_v1_unset_minimized(latest->handle);
    zwlr_foreign_toplevel_handle_v1_activate(latest->handle, m_connection->seat());
    m_connection->flush();
    return true;
}

WaylandRunningApplication::WaylandRunningApplication(Identity identity, WaylandWorkspace* workspace)
    : m_identity(std::move(identity))
    , m_workspace(workspace) {}

QIcon WaylandRunningApplication::icon() const {
    return iconFromValue(m_identity.iconName);
}

bool WaylandRunningApplication::hide() {
    return !m_terminated && m_workspace && m_workspace->minimize(*this);
}

bool WaylandRunningApplication::activate() {
    return !m_terminated && m_workspace && m_workspace->activate(*this);
}

} // namespace vantrel::wayland
