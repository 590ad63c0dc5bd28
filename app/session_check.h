#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

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

// Why Vantrel cannot run here, or nothing when it can. The offscreen and minimal platforms are
// headless runs asked for explicitly (tests); they see no windows and lock nothing. Everything
// else needs an X display that opens, outside a Wayland session, whose own windows X11 cannot see.
// displayOpens is asked only when it matters.
std::optional<QString> sessionProblem(const SessionFacts& facts,
                                      bool (*displayOpens)(const QByteArray& display));

} // namespace vantrel
