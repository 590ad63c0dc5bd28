#include "app/session_check.h"

#include <cstring>
#include <QByteArrayList>
#include <QtGlobal>

namespace vantrel {
namespace {

const QString needsX11 = QStringLiteral("Vantrel needs an X11 session: ");
const QString whatWorks = QStringLiteral(
    " Log in to an X11 session, to KDE Plasma, or to a Wayland compositor built on wlroots (such "
    "as sway, labwc, Wayfire or Hyprland).");

bool isHeadlessPlatform(const QByteArray& platform) {
    return platform == "offscreen" || platform == "minimal";
}

} // namespace

SessionFacts currentSessionFacts(int argc, char** argv) {
    SessionFacts facts;
    facts.qtPlatform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            facts.qtPlatform = argv[i + 1];
    }
    facts.sessionType = qgetenv("XDG_SESSION_TYPE");
    facts.waylandDisplay = qgetenv("WAYLAND_DISPLAY");
    facts.display = qgetenv("DISPLAY");
    return facts;
}

std::variant<DesktopKind, QString> chooseDesktop(const SessionFacts& facts,
                                                 const SessionProbes& probes) {
    // A platform may carry options after a colon: "xcb:foo".
    const QByteArray platform = facts.qtPlatform.split(':').first().trimmed();
    if (isHeadlessPlatform(platform))
        return DesktopKind::Headless;
    const bool waylandPlatform = platform.startsWith("wayland");
    if (!platform.isEmpty() && platform != "xcb" && !waylandPlatform)
        return QStringLiteral("Vantrel cannot run on the Qt platform \"%1\".")
                   .arg(QString::fromLocal8Bit(platform)) +
               whatWorks;
    const bool waylandSession = facts.sessionType == "wayland" || !facts.waylandDisplay.isEmpty();
    if (waylandPlatform || (platform.isEmpty() && waylandSession)) {
        switch (probes.waylandOffer()) {
        case WaylandOffer::LockProtocols:
            return DesktopKind::Wayland;
        case WaylandOffer::LacksProtocols:
            return QStringLiteral(
                       "Vantrel cannot lock applications on this Wayland desktop: its compositor "
                       "does not let a program see and cover the windows of others (it lacks "
                       "the wlr layer-shell protocol, or a window-management protocol: wlroots' "
                       "foreign-toplevel or KDE's).") +
                   whatWorks;
        case WaylandOffer::KWinWithholds:
            return QStringLiteral(
                       "Vantrel cannot lock applications on this KDE Plasma session: KWin lets a "
                       "program see other programs' windows only when it was started from an "
                       "installed desktop entry that names it and asks for "
                       "org_kde_plasma_window_management. Start Vantrel as installed by its "
                       "package (%1), or add such an entry to ~/.local/share/applications.")
                .arg(QStringLiteral("com.corvane.vantrel.desktop"));
        case WaylandOffer::NoCompositor:
            if (waylandPlatform || facts.sessionType == "wayland" || facts.display.isEmpty())
                return QStringLiteral("Vantrel cannot reach the Wayland compositor at \"%1\".")
                           .arg(QString::fromLocal8Bit(facts.waylandDisplay)) +
                       whatWorks;
            break; // a stale WAYLAND_DISPLAY in an X11 session
        }
    } else if (waylandSession && facts.sessionType == "wayland") {
        return needsX11 +
               QStringLiteral("this is a Wayland session, whose windows X11 cannot "
                              "see or cover.") +
               whatWorks;
    }
    if (facts.display.isEmpty())
        return needsX11 + QStringLiteral("DISPLAY is not set.") + whatWorks;
    if (!probes.x11DisplayOpens(facts.display))
        return needsX11 +
               QStringLiteral("the X display \"%1\" does not open.")
                   .arg(QString::fromLocal8Bit(facts.display)) +
               whatWorks;
    return DesktopKind::X11;
}

} // namespace vantrel
