#pragma once

#include "platform/wayland/toplevel_workspace.h"

struct org_kde_plasma_window;
struct org_kde_plasma_window_management;

namespace vantrel::wayland {

class PlasmaWorkspace;

// One window as KWin's window-management protocol reports it. Past its initial state, each
// change applies as it comes: the protocol has no "done".
struct PlasmaWindow final : Toplevel {
    org_kde_plasma_window* handle = nullptr;
    PlasmaWorkspace* workspace = nullptr;
    ToplevelState pending;
    bool initialStateKnown = false;
};

// The running applications of a KDE Plasma desktop, from org_kde_plasma_window_management,
// which KWin offers only to a client its desktop entry permits. KWin names every window's
// process, so a window's application is decided per window, from its app_id and its process's
// facts, as on X11: one running application per process and application.
class PlasmaWorkspace final : public ToplevelWorkspace {
    Q_OBJECT

public:
    // Blocks for round trips, to learn the windows open now: make it before the event loop runs.
    PlasmaWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                    QObject* parent = nullptr);
    ~PlasmaWorkspace() override;

    // The protocol's events, by the listeners of the manager and of the windows.
    void addWindow(const char* uuid);
    void windowChanged(PlasmaWindow& window);
    void windowUnmapped(PlasmaWindow& window);

protected:
    WaylandRunningApplication::Identity identify(const ToplevelState& state) override;
    void requestMinimize(Toplevel& toplevel) override;
    bool requestActivate(Toplevel& toplevel) override;

private:
    org_kde_plasma_window_management* m_management = nullptr;
};

} // namespace vantrel::wayland
