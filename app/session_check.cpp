#include "app/session_check.h"

#include <cstring>
#include <QByteArrayList>
#include <QtGlobal>

namespace vantrel {
namespace {

const QString needsX11 = QStringLiteral("Vantrel needs an X11 session: ");

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

std::optional<QString> sessionProblem(const SessionFacts& facts,
                                      bool (*displayOpens)(const QByteArray& display)) {
    // A platform may carry options after a colon: "xcb:foo".
    const QByteArray platform = facts.qtPlatform.split(':').first().trimmed();
    if (isHeadlessPlatform(platform))
        return std::nullopt;
    if (!platform.isEmpty() && platform != "xcb")
        return needsX11 + QStringLiteral("the Qt platform \"%1\" is not X11.")
                              .arg(QString::fromLocal8Bit(platform));
    if (facts.sessionType == "wayland" || !facts.waylandDisplay.isEmpty())
        return needsX11 + QStringLiteral("this is a Wayland session, whose windows it cannot "
                                         "see or cover. Log in to an X11 session.");
    if (facts.display.isEmpty())
        return needsX11 + QStringLiteral("DISPLAY is not set.");
    if (!displayOpens(facts.display))
        return needsX11 + QStringLiteral("the X display \"%1\" does not open.")
                              .arg(QString::fromLocal8Bit(facts.display));
    return std::nullopt;
}

} // namespace vantrel
