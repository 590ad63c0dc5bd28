#include "platform/wayland/plasma/plasma_workspace.h"

#include "plasma-window-management-client-protocol.h"
#include "platform/kwin/kwin_window_marks.h"
#include "platform/process/process_facts.h"
#include "platform/wayland/wayland_connection.h"

#include <QGuiApplication>
#include <QScreen>
#include <wayland-client.h>

namespace vantrel::wayland {
namespace {

QString withoutBraces(QString uuid) {
    return uuid.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
}

PlasmaWindow& of(void* data) {
    return *static_cast<PlasmaWindow*>(data);
}

// A change past the initial state applies at once.
void changed(PlasmaWindow& window) {
    if (window.initialStateKnown)
        window.workspace->windowChanged(window);
}

void onTitle(void*, org_kde_plasma_window*, const char*) {}

void onAppId(void* data, org_kde_plasma_window*, const char* appId) {
    of(data).pending.appId = QString::fromUtf8(appId);
    changed(of(data));
}

void onState(void* data, org_kde_plasma_window*, uint32_t flags) {
    ToplevelState& pending = of(data).pending;
    pending.activated = (flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE) != 0;
    pending.minimized = (flags & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED) != 0;
    changed(of(data));
}

void onVirtualDesktop(void*, org_kde_plasma_window*, int32_t) {}
void onThemedIcon(void*, org_kde_plasma_window*, const char*) {}

void onUnmapped(void* data, org_kde_plasma_window*) {
    of(data).workspace->windowUnmapped(of(data));
}

void onInitialState(void* data, org_kde_plasma_window*) {
    PlasmaWindow& window = of(data);
    window.initialStateKnown = true;
    window.workspace->windowChanged(window);
}

void onParent(void*, org_kde_plasma_window*, org_kde_plasma_window*) {}

void onGeometry(void* data, org_kde_plasma_window*, int32_t x, int32_t y, uint32_t width,
                uint32_t height) {
    of(data).geometry = QRect(x, y, static_cast<int>(width), static_cast<int>(height));
    changed(of(data));
}

void onIconChanged(void*, org_kde_plasma_window*) {}

void onPid(void* data, org_kde_plasma_window*, uint32_t pid) {
    of(data).pending.pid = pid;
}

void onDesktopEntered(void*, org_kde_plasma_window*, const char*) {}
void onDesktopLeft(void*, org_kde_plasma_window*, const char*) {}
void onApplicationMenu(void*, org_kde_plasma_window*, const char*, const char*) {}
void onActivityEntered(void*, org_kde_plasma_window*, const char*) {}
void onActivityLeft(void*, org_kde_plasma_window*, const char*) {}
void onResourceName(void*, org_kde_plasma_window*, const char*) {}

// Every event up to the version bound. Filled in by name: a newer protocol description adds
// events, which are never sent at the version bound, and whose slots stay empty.
org_kde_plasma_window_listener makeWindowListener() {
    org_kde_plasma_window_listener listener{};
    listener.title_changed = &onTitle;
    listener.app_id_changed = &onAppId;
    listener.state_changed = &onState;
    listener.virtual_desktop_changed = &onVirtualDesktop;
    listener.themed_icon_name_changed = &onThemedIcon;
    listener.unmapped = &onUnmapped;
    listener.initial_state = &onInitialState;
    listener.parent_window = &onParent;
    listener.geometry = &onGeometry;
    listener.icon_changed = &onIconChanged;
    listener.pid_changed = &onPid;
    listener.virtual_desktop_entered = &onDesktopEntered;
    listener.virtual_desktop_left = &onDesktopLeft;
    listener.application_menu = &onApplicationMenu;
    listener.activity_entered = &onActivityEntered;
    listener.activity_left = &onActivityLeft;
    listener.resource_name_changed = &onResourceName;
    return listener;
}

const org_kde_plasma_window_listener windowListener = makeWindowListener();

void onShowDesktop(void*, org_kde_plasma_window_management*, uint32_t) {}
// Before version 13 windows came by number alone; the version bound has them by uuid as well.
void onWindow(void*, org_kde_plasma_window_management*, uint32_t) {}
void onStackingOrder(void*, org_kde_plasma_window_management*, wl_array*) {}
void onStackingOrderUuids(void* data, org_kde_plasma_window_management*, const char* uuids) {
    static_cast<PlasmaWorkspace*>(data)->stackingChanged(
        QString::fromUtf8(uuids).split(QLatin1Char(';'), Qt::SkipEmptyParts));
}

void onWindowWithUuid(void* data, org_kde_plasma_window_management*, uint32_t, const char* uuid) {
    static_cast<PlasmaWorkspace*>(data)->addWindow(QString::fromUtf8(uuid));
}

org_kde_plasma_window_management_listener makeManagementListener() {
    org_kde_plasma_window_management_listener listener{};
    listener.show_desktop_changed = &onShowDesktop;
    listener.window = &onWindow;
    listener.stacking_order_changed = &onStackingOrder;
    listener.stacking_order_uuid_changed = &onStackingOrderUuids;
    listener.window_with_uuid = &onWindowWithUuid;
    return listener;
}

const org_kde_plasma_window_management_listener managementListener = makeManagementListener();

} // namespace

PlasmaWorkspace::PlasmaWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                                 std::unique_ptr<kwin::KWinWindowMarks> marks, QObject* parent)
    : ToplevelWorkspace(std::move(connection), std::move(providers), parent)
    , m_marks(std::move(marks)) {
    // The bind's answer names the windows open now, and each window's answer tells its initial
    // state: two round trips. Nobody listens to this workspace yet, so their applications are
    // running but not launched, as on X11: locked from their next launch on.
    m_management = this->connection().bindPlasmaWindowManagement();
    if (m_management == nullptr)
        return;
    org_kde_plasma_window_management_add_listener(m_management, &managementListener, this);
    this->connection().roundtrip();
    this->connection().roundtrip();
}

PlasmaWorkspace::~PlasmaWorkspace() {
    for (const auto& toplevel : toplevels())
        org_kde_plasma_window_destroy(static_cast<PlasmaWindow&>(*toplevel).handle);
    if (m_management != nullptr)
        org_kde_plasma_window_management_destroy(m_management);
    connection().flush();
}

void PlasmaWorkspace::addWindow(const QString& uuid) {
    auto window = std::make_unique<PlasmaWindow>();
    window->workspace = this;
    window->uuid = withoutBraces(uuid);
    window->serial = ++m_serials;
    window->handle = org_kde_plasma_window_management_get_window_by_uuid(m_management,
                                                                         uuid.toUtf8().constData());
    org_kde_plasma_window_add_listener(window->handle, &windowListener, window.get());
    adopt(std::move(window));
}

void PlasmaWorkspace::windowChanged(PlasmaWindow& window) {
    toplevelDone(window, window.pending);
}

void PlasmaWorkspace::windowUnmapped(PlasmaWindow& window) {
    org_kde_plasma_window_destroy(window.handle);
    toplevelClosed(window);
}

void PlasmaWorkspace::stackingChanged(const QStringList& uuidsBottomToTop) {
    m_stacking.clear();
    for (const QString& uuid : uuidsBottomToTop)
        m_stacking.append(withoutBraces(uuid));
    Q_EMIT windowsChanged();
}

std::optional<QList<WindowDescription>> PlasmaWorkspace::onScreenWindows() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QPoint origin = primary != nullptr ? primary->geometry().topLeft() : QPoint();
    // Front-most first; a window the stacking order does not name yet counts as the front-most.
    QList<const PlasmaWindow*> ordered;
    for (const auto& toplevel : toplevels()) {
        const auto& window = static_cast<const PlasmaWindow&>(*toplevel);
        if (!window.minimized && !m_stacking.contains(window.uuid))
            ordered.append(&window);
    }
    for (auto uuid = m_stacking.crbegin(); uuid != m_stacking.crend(); ++uuid) {
        for (const auto& toplevel : toplevels()) {
            const auto& window = static_cast<const PlasmaWindow&>(*toplevel);
            if (window.uuid == *uuid && !window.minimized)
                ordered.append(&window);
        }
    }
    QList<WindowDescription> windows;
    for (const PlasmaWindow* window : std::as_const(ordered)) {
        WindowDescription description;
        if (window->pid > 0)
            description.ownerProcessIdentifier = window->pid;
        if (window->geometry)
            description.bounds = QRectF(window->geometry->translated(-origin));
        description.windowId = window->serial;
        if (window->application)
            description.applicationId = window->application->bundleIdentifier();
        windows.append(description);
    }
    return windows;
}

void PlasmaWorkspace::shieldApplications(const QList<WindowOwner>& owners) {
    if (m_marks)
        m_marks->apply(markRules(owners));
}

kwin::WindowMarkRules PlasmaWorkspace::markRules(const QList<WindowOwner>& owners) const {
    kwin::WindowMarkRulesBuilder rules(owners, lockedApplicationIds());
    for (const auto& toplevel : toplevels()) {
        const auto& window = static_cast<const PlasmaWindow&>(*toplevel);
        if (!window.application)
            continue; // new to us: the script's own rules decide
        const WindowOwner owner{window.application->processIdentifier(),
                                window.application->bundleIdentifier()};
        QStringList ids{window.appId};
        if (owner.applicationId)
            ids.append(*owner.applicationId);
        rules.addWindow(window.uuid, owners.contains(owner), window.pid, ids);
    }
    return rules.rules();
}

WaylandRunningApplication::Identity PlasmaWorkspace::identify(const ToplevelState& state) {
    WaylandRunningApplication::Identity identity = ToplevelWorkspace::identify(state);
    if (state.pid <= 0)
        return identity;
    // The process's own facts come first: a sandbox's or launcher's record names the entry when
    // the app_id does not, and one process may show several applications.
    if (const std::optional<DesktopEntry> entry = identifyApplication(
            readProcessFacts(state.pid), hintsOf(state.appId), desktopEntries())) {
        identity.bundleIdentifier = entry->id;
        identity.name = entry->name.isEmpty() ? entry->id : entry->name;
        identity.iconName = entry->icon;
    }
    identity.identifier = state.pid;
    identity.key = QString::number(state.pid) + QLatin1Char('/') +
                   identity.bundleIdentifier.value_or(state.appId);
    return identity;
}

void PlasmaWorkspace::requestMinimize(Toplevel& toplevel) {
    org_kde_plasma_window_set_state(static_cast<PlasmaWindow&>(toplevel).handle,
                                    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED,
                                    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED);
}

bool PlasmaWorkspace::requestActivate(Toplevel& toplevel) {
    // Active and not minimised, in one request: KWin unminimises and activates.
    org_kde_plasma_window_set_state(static_cast<PlasmaWindow&>(toplevel).handle,
                                    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE |
                                        ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_MINIMIZED,
                                    ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE);
    return true;
}

} // namespace vantrel::wayland
