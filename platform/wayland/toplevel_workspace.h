#pragma once

#include "platform/desktop_entry.h"
#include "platform/freedesktop/desktop_entry_match.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

#include <functional>
#include <memory>
#include <optional>
#include <QHash>
#include <QPointer>
#include <vector>

namespace vantrel::wayland {

class Connection;
class LockSurfaces;
class ToplevelWorkspace;
class WaylandRunningApplication;

// One window as a compositor's window-management protocol reports it. Each protocol keeps its
// own handle in a record derived from this one; the values apply at the protocol's "done".
struct Toplevel {
    virtual ~Toplevel() = default;

    QString appId;  // the one it had when first complete: a window stays the application it was
    qint64 pid = 0; // 0 where the protocol names no process
    bool activated = false;
    bool minimized = false;
    bool hiddenByDesktop = false; // put out of sight in a way the protocol does not tell (sway's
                                  // scratchpad); being activated brings it back
    quint64 lastActivated = 0;    // order of activation; 0 never
    bool announced = false;
    // The application it belongs to, set when it is announced.
    std::shared_ptr<WaylandRunningApplication> application;

    // Off every output, where the protocol tells outputs.
    virtual bool isOffScreen() const { return false; }
    bool isHidden() const { return minimized || hiddenByDesktop || isOffScreen(); }
};

// One application of the desktop: the toplevels that share its key. Where the compositor names
// no process, the process identifier is a number of its own, unique while Vantrel runs.
class WaylandRunningApplication final : public RunningApplication {
public:
    struct Identity {
        QString key;
        QString appId;
        qint64 identifier = 0;
        std::optional<QString> bundleIdentifier;
        std::optional<QString> name;
        QString iconName;
    };

    WaylandRunningApplication(Identity identity, ToplevelWorkspace* workspace);

    const QString& key() const { return m_identity.key; }
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
    QPointer<ToplevelWorkspace> m_workspace;
    bool m_hidden = false;
    bool m_terminated = false;
};

// What the protocol reported for a toplevel at its latest "done".
struct ToplevelState {
    QString appId;
    qint64 pid = 0;
    bool activated = false;
    bool minimized = false;
};

// The running applications of a Wayland desktop, from its window-management protocol: windows
// grouped into applications and matched to desktop entries, launches, activations and
// terminations told as on X11. The lock covers whole outputs with layer-shell surfaces.
// A protocol's workspace feeds it each toplevel's state and carries out its requests.
class ToplevelWorkspace : public Workspace {
    Q_OBJECT

public:
    struct Providers {
        // Installed desktop entries, most preferred folder first.
        std::function<QList<DesktopEntry>()> desktopEntries;
        // The app_id of this program's own windows, which are never an application to lock.
        QString ownAppId;
        // The desktop-file ids of the applications locked now: their new windows are kept out
        // of the desktop's views before Vantrel has seen them, where the desktop has such views.
        std::function<QStringList()> lockedApplicationIds;
    };

    ~ToplevelWorkspace() override;

    RunningApplicationList runningApplications() const override;
    void activateSelf(QWindow* keyWindow) override;
    void fillOnMap(QWindow*, const QColor&) override {}
    bool grabKeyboard(QWindow*) override { return false; }
    void releaseKeyboard() override {}
    bool knowsWindowPlacement() const override { return false; }
    // Where the desktop's windows are, where the protocol tells; nothing where it does not.
    virtual WindowList* windowList() { return nullptr; }
    bool presentLockSurface(QWidget* surface, const QColor& fill, bool takesKeyboard) override;

    // What an application asks of its toplevels.
    bool minimize(const WaylandRunningApplication& application);
    bool activate(const WaylandRunningApplication& application);

protected:
    ToplevelWorkspace(std::shared_ptr<Connection> connection, Providers providers, QObject* parent);

    // The application of a newly announced toplevel: its key (toplevels with the same key are one
    // application), entry and process; a process identifier of 0 gets a number of our own. The
    // default knows the app_id alone.
    virtual WaylandRunningApplication::Identity identify(const ToplevelState& state);
    // An app_id is what a Wayland client offers in place of WM_CLASS and the application id.
    static ApplicationHints hintsOf(const QString& appId);
    QList<DesktopEntry> desktopEntries() const;
    QStringList lockedApplicationIds() const;
    // The protocol's requests for one toplevel; false when it cannot be asked.
    virtual void requestMinimize(Toplevel& toplevel) = 0;
    virtual bool requestActivate(Toplevel& toplevel) = 0;
    // After every toplevel of the application was asked to minimise.
    virtual void minimizeRequested(const WaylandRunningApplication&) {}

    // The protocol's news.
    Toplevel& adopt(std::unique_ptr<Toplevel> toplevel);
    void toplevelDone(Toplevel& toplevel, const ToplevelState& state);
    // Forgets the record; the caller has destroyed its handle first.
    void toplevelClosed(Toplevel& toplevel);
    // A toplevel's hidden state changed outside a "done".
    void updateHidden(WaylandRunningApplication& application);

    const std::vector<std::unique_ptr<Toplevel>>& toplevels() const { return m_toplevels; }
    QList<Toplevel*> toplevelsOf(const WaylandRunningApplication& application) const;
    Connection& connection() const { return *m_connection; }

private:
    bool allHidden(const WaylandRunningApplication& application) const;

    std::shared_ptr<Connection> m_connection;
    Providers m_providers;
    std::unique_ptr<LockSurfaces> m_lockSurfaces;
    std::vector<std::unique_ptr<Toplevel>> m_toplevels;
    QHash<QString, std::shared_ptr<WaylandRunningApplication>> m_applications; // by key
    quint64 m_activations = 0;
    qint64 m_nextIdentifier;
};

} // namespace vantrel::wayland
