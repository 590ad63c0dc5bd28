#pragma once

#include "platform/wayland/toplevel_workspace.h"

struct zwlr_foreign_toplevel_handle_v1;
struct zwlr_foreign_toplevel_manager_v1;

namespace vantrel {

class SwayCommands;

namespace wayland {

class WlrootsWorkspace;

// One toplevel as the foreign-toplevel protocol reports it, with the values pending its "done".
struct ForeignToplevel final : Toplevel {
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    WlrootsWorkspace* workspace = nullptr;
    int outputs = 0;
    bool everOnOutput = false;
    ToplevelState pending;

    bool isOffScreen() const override { return everOnOutput && outputs == 0; }
};

// The running applications of a wlroots desktop, from the foreign-toplevel protocol, grouped by
// app_id. The compositor does not say where other clients' windows are, nor which process shows
// them.
class WlrootsWorkspace final : public ToplevelWorkspace {
    Q_OBJECT

public:
    // Blocks for a round trip, to learn the windows open now: make it before the event loop runs.
    WlrootsWorkspace(std::shared_ptr<Connection> connection, Providers providers,
                     QObject* parent = nullptr);
    ~WlrootsWorkspace() override;

    // The protocol's events, by the listeners of the handles and of the manager.
    void addToplevel(zwlr_foreign_toplevel_handle_v1* handle);
    void foreignToplevelDone(ForeignToplevel& toplevel);
    void foreignToplevelClosed(ForeignToplevel& toplevel);
    void managerFinished();

protected:
    void requestMinimize(Toplevel& toplevel) override;
    bool requestActivate(Toplevel& toplevel) override;
    void minimizeRequested(const WaylandRunningApplication& application) override;

private:
    zwlr_foreign_toplevel_manager_v1* m_manager = nullptr;
    std::unique_ptr<SwayCommands> m_sway;
};

} // namespace wayland
} // namespace vantrel
