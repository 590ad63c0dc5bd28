#pragma once

#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_workspace.h"

#include <memory>
#include <optional>

namespace vantrel {

// The workspace and the window list of the X desktop, sharing Qt's connection.
struct X11Desktop {
    std::unique_ptr<X11Workspace> workspace;
    std::unique_ptr<X11WindowList> windowList;
};

// Nothing when Qt does not run on X11 (the offscreen platform, a Wayland session). Call after
// the QGuiApplication exists.
std::optional<X11Desktop> makeX11Desktop(X11Workspace::Providers providers);

} // namespace vantrel
