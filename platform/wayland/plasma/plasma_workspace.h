#pragma once

#include "platform/kwin/kwin_window_marks.h"
#include "platform/wayland/toplevel_workspace.h"
#include "platform/window_list.h"

#include <QRect>

struct org_kde_plasma_window;
struct org_kde_plasma_window_management;

namespace vantrel::wayland {

class PlasmaWorkspace;

// One window as KWin's window-management protocol reports it. Past its initial state, each
// change applies as it comes: the protocol has no "done".
struct PlasmaWindow final : Toplevel {
    org_kde_plasma_window* handle = nullptr;
    QString uuid;       // KWin's own id of the window, as its scripts know it, without braces
    quint64 serial = 0; // our own number for it, never 0
    std::optional<QRect> geometry; // in the compositor's global coordinates, once told
    PlasmaWorkspace* workspace = nullptr;
    ToplevelState pending;
    bool initialStateKnown = false;
};

// The running applications of a KDE Plasma desktop, from org_kde_plasma_window_management,
// which KWin offers only to a client its desktop entry permits. KWin names every window's
// process, so a window's application is decided per window, from its app_id and its process's
// facts, as on X11: one running application per process and application. KWin scripts keep the
// windows of locked applications out of Plasma's own views of the windows. KWin tells where
// windows are, so the lock stands over the locked window itself, as on X11.
class PlasmaWorkspace final : public ToplevelWorkspace, public WindowList {
    Q_OBJECT

public:
    // Blocks for round trips, to learn the windows open now: make it before the event loop runs.
    PlasmaWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                    std::unique_ptr<kwin::KWinWindowMarks> marks, QObject* parent = nullptr);
    ~PlasmaWorkspace() override;

    void shieldApplications(const QList<WindowOwner>& owners) override;
    bool knowsWindowPlacement() const override { return true; }
    WindowList* windowList() override { return this; }
    std::optional<QList<WindowDescription>> onScreenWindows() const override;
    // Which windows KWin's views must not show while these applications wait for the password.
    kwin::WindowMarkRules markRules(const QList<WindowOwner>& owners) const;

    // The protocol's events, by the listeners of the manager and of the windows.
    void addWindow(const QString& uuid);
    void windowChanged(PlasmaWindow& window);
    void windowUnmapped(PlasmaWindow& window);
    void stackingChanged(const QStringList& uuidsBottomToTop);

protected:
    WaylandRunningApplication::Identity identify(const ToplevelState& state) override;
    void requestMinimize(Toplevel& toplevel) override;
    bool requestActivate(Toplevel& toplevel) override;

private:
    org_kde_plasma_window_management* m_management = nullptr;
    std::unique_ptr<kwin::KWinWindowMarks> m_marks;
    QStringList m_stacking; // bottom to top
    quint64 m_serials = 0;
};

} // namespace vantrel::wayland
