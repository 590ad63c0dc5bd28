#pragma once

#include <QByteArray>
#include <QString>
#include <variant>

namespace vantrel {

// What decides whether Vantrel can watch the desktop it was started on.
struct SessionFacts {
    QByteArray qtPlatform;     // -platform argument, else QT_QPA_PLATFORM
    QByteArray sessionType;    // XDG_SESSION_TYPE
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
    QByteArray display;        // DISPLAY
};

// The facts of this process: its arguments and environment.
SessionFacts currentSessionFacts(int argc, char** argv);

// What the Wayland compositor of the session offers, asked only when it matters.
enum class WaylandOffer {
    NoCompositor,   // nothing answers at WAYLAND_DISPLAY
    LacksProtocols, // a compositor that lets no client see or cover other clients' windows
    KWinWithholds,  // KDE Plasma's compositor, not granting this program its window management
    LockProtocols   // layer-shell, and windows told by wlroots' or KWin's window management
};

struct SessionProbes {
    bool (*x11DisplayOpens)(const QByteArray& display) = nullptr;
    WaylandOffer (*waylandOffer)() = nullptr;
};

// The desktop Vantrel watches.
enum class DesktopKind {
    Headless, // the offscreen and minimal platforms, asked for explicitly (tests): no windows
    X11,
    Wayland
};

// The desktop to watch, or why Vantrel cannot run here. A Wayland session is watched through
// its compositor when that offers what a lock needs, never through XWayland, which sees none of
// the Wayland clients' windows.
std::variant<DesktopKind, QString> chooseDesktop(const SessionFacts& facts,
                                                 const SessionProbes& probes);

} // namespace vantrel
