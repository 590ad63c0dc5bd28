#include "platform/wayland/toplevel_workspace.h"

#include "platform/freedesktop/desktop_entry_match.h"
#include "platform/freedesktop/entry_icon.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_lock_surfaces.h"

#include <algorithm>
#include <QWindow>

namespace vantrel::wayland {
namespace {

// Far above any process id the kernel hands out, so that no real process is taken for one.
constexpr qint64 firstIdentifier = qint64(1) << 40;

} // namespace

ToplevelWorkspace::ToplevelWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                                     QObject* parent)
    : Workspace(parent)
    , m_connection(std::move(connection))
    , m_providers(std::move(providers))
    , m_lockSurfaces(std::make_unique<LockSurfaces>(*m_connection))
    , m_nextIdentifier(firstIdentifier) {}

ToplevelWorkspace::~ToplevelWorkspace() {
    for (const auto& application : std::as_const(m_applications))
        application->markTerminated();
}

Toplevel& ToplevelWorkspace::adopt(std::unique_ptr<Toplevel> toplevel) {
    m_toplevels.push_back(std::move(toplevel));
    return *m_toplevels.back();
}

ApplicationHints ToplevelWorkspace::hintsOf(const QString& appId) {
    ApplicationHints hints;
    hints.gtkApplicationId = appId;
    hints.classInstance = appId;
    hints.className = appId;
    return hints;
}

QList<DesktopEntry> ToplevelWorkspace::desktopEntries() const {
    return m_providers.desktopEntries ? m_providers.desktopEntries() : QList<DesktopEntry>{};
}

QStringList ToplevelWorkspace::lockedApplicationIds() const {
    return m_providers.lockedApplicationIds ? m_providers.lockedApplicationIds() : QStringList{};
}

WaylandRunningApplication::Identity ToplevelWorkspace::identify(const ToplevelState& state) {
    WaylandRunningApplication::Identity identity;
    identity.key = state.appId;
    identity.appId = state.appId;
    if (const std::optional<DesktopEntry> entry =
            matchDesktopEntry(hintsOf(state.appId), desktopEntries())) {
        identity.bundleIdentifier = entry->id;
        identity.name = entry->name.isEmpty() ? entry->id : entry->name;
        identity.iconName = entry->icon;
    } else {
        identity.name = state.appId;
    }
    return identity;
}

void ToplevelWorkspace::toplevelDone(Toplevel& toplevel, const ToplevelState& state) {
    const bool newlyActivated = state.activated && !toplevel.activated;
    toplevel.activated = state.activated;
    toplevel.minimized = state.minimized;
    if (newlyActivated) {
        toplevel.lastActivated = ++m_activations;
        // Activated, it is in sight again.
        toplevel.hiddenByDesktop = false;
    }
    if (!toplevel.announced) {
        // Some clients set their app_id only after the first commit.
        if (state.appId.isEmpty())
            return;
        toplevel.announced = true;
        toplevel.appId = state.appId;
        toplevel.pid = state.pid;
    }
    if (toplevel.appId == m_providers.ownAppId)
        return;
    bool launched = false;
    if (!toplevel.application) {
        ToplevelState identified = state;
        identified.appId = toplevel.appId;
        identified.pid = toplevel.pid;
        WaylandRunningApplication::Identity identity = identify(identified);
        std::shared_ptr<WaylandRunningApplication>& slot = m_applications[identity.key];
        launched = !slot;
        if (launched) {
            if (identity.identifier == 0)
                identity.identifier = m_nextIdentifier++;
            slot = std::make_shared<WaylandRunningApplication>(std::move(identity), this);
        }
        toplevel.application = slot;
    }
    // A copy: the handlers of the signals below may change the table.
    const std::shared_ptr<WaylandRunningApplication> application = toplevel.application;
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

void ToplevelWorkspace::toplevelClosed(Toplevel& closing) {
    const std::shared_ptr<WaylandRunningApplication> application = closing.application;
    const auto found = std::find_if(
        m_toplevels.begin(), m_toplevels.end(),
        [&closing](const std::unique_ptr<Toplevel>& each) { return each.get() == &closing; });
    std::unique_ptr<Toplevel> kept;
    if (found != m_toplevels.end()) {
        kept = std::move(*found);
        m_toplevels.erase(found);
    }
    if (!application)
        return;
    if (toplevelsOf(*application).isEmpty()) {
        application->markTerminated();
        m_applications.remove(application->key());
        Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
    } else {
        application->setHidden(allHidden(*application));
    }
    Q_EMIT windowsChanged();
}

bool ToplevelWorkspace::allHidden(const WaylandRunningApplication& application) const {
    const QList<Toplevel*> toplevels = toplevelsOf(application);
    return std::all_of(toplevels.cbegin(), toplevels.cend(),
                       [](const Toplevel* each) { return each->isHidden(); });
}

void ToplevelWorkspace::updateHidden(WaylandRunningApplication& application) {
    const bool hidden = allHidden(application);
    if (hidden == application.isHidden())
        return;
    application.setHidden(hidden);
    Q_EMIT windowsChanged();
}

QList<Toplevel*>
ToplevelWorkspace::toplevelsOf(const WaylandRunningApplication& application) const {
    QList<Toplevel*> toplevels;
    for (const auto& toplevel : m_toplevels) {
        if (toplevel->application.get() == &application)
            toplevels.append(toplevel.get());
    }
    return toplevels;
}

RunningApplicationList ToplevelWorkspace::runningApplications() const {
    RunningApplicationList applications;
    for (const auto& application : m_applications)
        applications.append(application);
    return applications;
}

void ToplevelWorkspace::activateSelf(QWindow* keyWindow) {
    // The lock's surfaces take the keyboard themselves; any other window of ours can only ask.
    if (keyWindow != nullptr && !m_lockSurfaces->isPresented(keyWindow))
        keyWindow->requestActivate();
}

bool ToplevelWorkspace::presentLockSurface(QWidget* surface, const QColor& fill,
                                           bool takesKeyboard) {
    m_lockSurfaces->present(surface, fill, takesKeyboard, knowsWindowPlacement());
    return true;
}

bool ToplevelWorkspace::minimize(const WaylandRunningApplication& application) {
    const QList<Toplevel*> toplevels = toplevelsOf(application);
    if (toplevels.isEmpty())
        return false;
    for (Toplevel* toplevel : toplevels)
        requestMinimize(*toplevel);
    m_connection->flush();
    minimizeRequested(application);
    return true;
}

bool ToplevelWorkspace::activate(const WaylandRunningApplication& application) {
    const QList<Toplevel*> toplevels = toplevelsOf(application);
    if (toplevels.isEmpty())
        return false;
    Toplevel* latest = *std::max_element(
        toplevels.cbegin(), toplevels.cend(),
        [](const Toplevel* a, const Toplevel* b) { return a->lastActivated < b->lastActivated; });
    if (!requestActivate(*latest))
        return false;
    m_connection->flush();
    return true;
}

WaylandRunningApplication::WaylandRunningApplication(Identity identity,
                                                     ToplevelWorkspace* workspace)
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
