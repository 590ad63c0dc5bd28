#pragma once

#include "platform/desktop_entry.h"
#include "platform/workspace.h"

#include <functional>
#include <memory>
#include <QHash>
#include <QPointer>

struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

namespace vantrel {

class SwayCommands;

namespace wayland {

class Connection;
class LockSurfaces;
class WaylandRunningApplication;
class WaylandWorkspace;

// One toplevel as the compositor reports it; the values apply at its next "done". Its app_id is
// the one it had when first complete: an application stays the application it was.
struct Toplevel {
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    WaylandWorkspace* workspace = nullptr;
    QString appId;
    bool activated = false;
    bool minimized = false;
    int outputs = 0;
    bool everOnOutput = false;
    bool inScratchpad = false; // sway's, where it hides windows; it tells clients nothing
    quint64 lastActivated = 0; // order of activation; 0 never
    // Pending, from the events before "done".
    QString pendingAppId;
    bool pendingActivated = false;
    bool pendingMinimized = false;
    bool announced = false;

    // Out of sight: minimised, in sway's scratchpad, or gone from every output it was on.
    bool isHidden() const { return minimized || inScratchpad || (everOnOutput && outputs == 0); }
};

// The running applications of a wlroots desktop: toplevels from the foreign-toplevel protocol,
// grouped by app_id and matched to desktop entries. The compositor does not say where other
// clients' windows are, so the lock covers whole outputs with layer-shell surfaces.
class WaylandWorkspace final : public Workspace {
    Q_OBJECT

public:
    struct Providers {
        // Installed desktop entries, most preferred folder first.
        std::function<QList<DesktopEntry>()> desktopEntries;
        // The app_id of this program's own windows, which are never an application to lock.
        QString ownAppId;
    };

    // Blocks for a round trip, to learn the windows open now: make it before the event loop runs.
    WaylandWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                     QObject* parent = nullptr);
    ~WaylandWorkspace() override;

    RunningApplicationList runningApplications() const override;
    void activateSelf(QWindow* keyWindow) override;
    void fillOnMap(QWindow*, const QColor&) override {}
    bool grabKeyboard(QWindow*) override { return false; }
    void releaseKeyboard() override {}
    bool knowsWindowPlacement() const override { return false; }
    bool presentLockSurface(QWidget* surface, const QColor& fill, bool takesKeyboard) override;

    // What an application asks of its toplevels.
    bool minimize(const WaylandRunningApplication& application);
    bool activate(const WaylandRunningApplication& application);

    // The protocol's events, by the listeners of the handles and of the manager.
    void toplevelDone(Toplevel& toplevel);
    void toplevelClosed(Toplevel& toplevel);
    void managerFinished();

private:
    void addToplevel(zwlr_foreign_toplevel_handle_v1* handle);
    std::shared_ptr<WaylandRunningApplication> applicationFor(const QString& appId);
    QList<Toplevel*> toplevelsOf(const WaylandRunningApplication& application) const;
    bool allHidden(const WaylandRunningApplication& application) const;
    void updateHidden(WaylandRunningApplication& application);

    std::shared_ptr<Connection> m_connection;
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    Providers m_providers;
    std::unique_ptr<LockSurfaces> m_lockSurfaces;
    std::unique_ptr<SwayCommands> m_sway;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels;
    QHash<QString, std::shared_ptr<WaylandRunningApplication>> m_applications; // by app_id
    quint64 m_activations = 0;
    qint64 m_nextIdentifier;

    friend struct ToplevelListeners;
};

// One application of the desktop: the toplevels that share an app_id. The compositor names no
// process, so the process identifier is a number of its own, unique while Vantrel runs.
class WaylandRunningApplication final : public RunningApplication {
public:
    struct Identity {
        QString appId;
        qint64 identifier = 0;
        std::optional<QString> bundleIdentifier;
        std::optional<QString> name;
        QString iconName;
    };

    WaylandRunningApplication(Identity identity, WaylandWorkspace* workspace);

    const QString& appId() const { return m_identity.appId; }
    std::optional<QString> bundleIdentifier() const override { return m_identity.bundleIdentifier; }
    qint64 processIdentifier() const override { return m_identity.identifier; }
    bool isHidden() const override { return m_hidden; }
    bool isTerminated() const override { return m_terminated; }
    ActivationPolicy activationPolicy() const override { return ActivationPolicy::Regular; }
    std::optional<QString> localizedName() const override { return m_identity.name; }
    QIcon icon() const override;
    // Minimises every toplevel.
    bool hide() override;
    // Activates the toplevel activated last.
    bool activate() override;

    void setHidden(bool hidden) { m_hidden = hidden; }
    void markTerminated() { m_terminated = true; }

private:
    Identity m_identity;
    QPointer<WaylandWorkspace> m_workspace;
    bool m_hidden = false;
    bool m_terminated = false;
};

} // namespace wayland
} // namespace vantrel
