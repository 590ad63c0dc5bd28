#pragma once

#include "platform/wayland/toplevel_workspace.h"

#include <memory>

namespace vantrel::wayland {

// What the compositor at WAYLAND_DISPLAY offers, from a connection of its own that is closed
// again. Usable before Qt starts.
struct CompositorOffer {
    bool answers = false;
    bool layerShell = false;
    bool toplevelManager = false;  // wlroots' foreign-toplevel management
    bool plasmaManagement = false; // KWin's window management, at a version we speak
    bool kwin = false;             // KWin's own globals are there
    bool offersLockProtocols() const { return layerShell && (toplevelManager || plasmaManagement); }
};
CompositorOffer askCompositor();

// The workspace of the desktop's window-management protocol, on a connection of its own: KWin's
// where it offers it, else wlroots'; nothing when the compositor does not answer or lacks the
// protocols, or, on KDE Plasma, when KWin's scripting does not answer (said on stderr). Call once
// the QApplication exists.
std::unique_ptr<ToplevelWorkspace> makeWaylandWorkspace(ToplevelWorkspace::Providers providers);

} // namespace vantrel::wayland
