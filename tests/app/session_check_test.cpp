#include "app/session_check.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

int opened = 0;
bool opens(const QByteArray&) {
    ++opened;
    return true;
}
bool neverOpens(const QByteArray&) {
    ++opened;
    return false;
}

SessionFacts x11Session() {
    SessionFacts facts;
    facts.sessionType = "x11";
    facts.display = ":0";
    return facts;
}

TEST(SessionCheck, AnX11DisplayThatOpensIsEnough) {
    EXPECT_FALSE(sessionProblem(x11Session(), &opens));
    SessionFacts xcb = x11Session();
    xcb.qtPlatform = "xcb";
    EXPECT_FALSE(sessionProblem(xcb, &opens));
}

TEST(SessionCheck, WaylandIsRefusedEvenWithXWayland) {
    SessionFacts byType = x11Session();
    byType.sessionType = "wayland";
    SessionFacts bySocket = x11Session();
    bySocket.waylandDisplay = "wayland-0";
    SessionFacts byPlatform = x11Session();
    byPlatform.qtPlatform = "wayland-egl";
    for (const SessionFacts& facts : {byType, bySocket, byPlatform}) {
        const std::optional<QString> problem = sessionProblem(facts, &opens);
        ASSERT_TRUE(problem);
        EXPECT_TRUE(problem->contains(QStringLiteral("needs an X11 session")))
            << problem->toStdString();
    }
}

TEST(SessionCheck, NoDisplayOrOneThatDoesNotOpenIsRefused) {
    SessionFacts unset = x11Session();
    unset.display.clear();
    opened = 0;
    ASSERT_TRUE(sessionProblem(unset, &opens));
    EXPECT_EQ(opened, 0);
    const std::optional<QString> problem = sessionProblem(x11Session(), &neverOpens);
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->contains(QStringLiteral("\":0\""))) << problem->toStdString();
}

TEST(SessionCheck, HeadlessPlatformsAskedForExplicitlyRun) {
    SessionFacts offscreen;
    offscreen.qtPlatform = "offscreen";
    offscreen.waylandDisplay = "wayland-0";
    EXPECT_FALSE(sessionProblem(offscreen, &neverOpens));
    offscreen.qtPlatform = "minimal:enable_fonts";
    EXPECT_FALSE(sessionProblem(offscreen, &neverOpens));
}

TEST(SessionCheck, ThePlatformArgumentWinsOverTheEnvironment) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char program[] = "Vantrel";
    char option[] = "-platform";
    char value[] = "wayland";
    char* argv[] = {program, option, value, nullptr};
    EXPECT_EQ(currentSessionFacts(3, argv).qtPlatform, QByteArray("wayland"));
    EXPECT_EQ(currentSessionFacts(1, argv).qtPlatform, QByteArray("offscreen"));
}

} // namespace
} // namespace vantrel
