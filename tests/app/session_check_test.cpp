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
WaylandOffer offersLock() {
    return WaylandOffer::LockProtocols;
}
WaylandOffer offersNothing() {
    return WaylandOffer::LacksProtocols;
}
WaylandOffer kwinWithholds() {
    return WaylandOffer::KWinWithholds;
}
WaylandOffer noCompositor() {
    return WaylandOffer::NoCompositor;
}

SessionFacts x11Session() {
    SessionFacts facts;
    facts.sessionType = "x11";
    facts.display = ":0";
    return facts;
}

SessionFacts waylandSession() {
    SessionFacts facts;
    facts.sessionType = "wayland";
    facts.waylandDisplay = "wayland-0";
    facts.display = ":0"; // XWayland
    return facts;
}

std::optional<QString> problemOf(const std::variant<DesktopKind, QString>& choice) {
    if (const QString* problem = std::get_if<QString>(&choice))
        return *problem;
    return std::nullopt;
}

TEST(SessionCheck, AnX11DisplayThatOpensIsEnough) {
    EXPECT_EQ(chooseDesktop(x11Session(), {&opens, &offersLock}),
              (std::variant<DesktopKind, QString>(DesktopKind::X11)));
    SessionFacts xcb = x11Session();
    xcb.qtPlatform = "xcb";
    EXPECT_EQ(chooseDesktop(xcb, {&opens, &offersLock}),
              (std::variant<DesktopKind, QString>(DesktopKind::X11)));
}

TEST(SessionCheck, AWaylandCompositorWithTheLockProtocolsIsWatchedDirectly) {
    SessionFacts bySocket = x11Session();
    bySocket.waylandDisplay = "wayland-1";
    SessionFacts byPlatform = x11Session();
    byPlatform.qtPlatform = "wayland-egl";
    for (const SessionFacts& facts : {waylandSession(), bySocket, byPlatform}) {
        opened = 0;
        EXPECT_EQ(chooseDesktop(facts, {&opens, &offersLock}),
                  (std::variant<DesktopKind, QString>(DesktopKind::Wayland)));
        EXPECT_EQ(opened, 0) << "XWayland is never the way in";
    }
}

TEST(SessionCheck, AWaylandDesktopWithoutTheProtocolsIsRefusedNamingWhatWorks) {
    for (auto offer : {&offersNothing, &noCompositor}) {
        const std::optional<QString> problem =
            problemOf(chooseDesktop(waylandSession(), {&opens, offer}));
        ASSERT_TRUE(problem);
        EXPECT_TRUE(problem->contains(QStringLiteral("Wayland"))) << problem->toStdString();
        EXPECT_TRUE(problem->contains(QStringLiteral("X11 session"))) << problem->toStdString();
        EXPECT_TRUE(problem->contains(QStringLiteral("wlroots"))) << problem->toStdString();
    }
    // XWayland cannot see the Wayland clients: asking for it explicitly is refused too.
    SessionFacts xcb = waylandSession();
    xcb.qtPlatform = "xcb";
    EXPECT_TRUE(problemOf(chooseDesktop(xcb, {&opens, &offersLock})));
}

TEST(SessionCheck, KWinWithholdingItsWindowsIsRefusedSayingWhatToDo) {
    const std::optional<QString> problem =
        problemOf(chooseDesktop(waylandSession(), {&opens, &kwinWithholds}));
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->contains(QStringLiteral("KDE Plasma"))) << problem->toStdString();
    EXPECT_TRUE(problem->contains(QStringLiteral("com.corvane.vantrel.desktop")))
        << problem->toStdString();
}

TEST(SessionCheck, AStaleWaylandSocketInAnX11SessionFallsBackToX11) {
    SessionFacts stale = x11Session();
    stale.waylandDisplay = "wayland-0";
    EXPECT_EQ(chooseDesktop(stale, {&opens, &noCompositor}),
              (std::variant<DesktopKind, QString>(DesktopKind::X11)));
}

TEST(SessionCheck, NoDisplayOrOneThatDoesNotOpenIsRefused) {
    SessionFacts unset = x11Session();
    unset.display.clear();
    opened = 0;
    ASSERT_TRUE(problemOf(chooseDesktop(unset, {&opens, &offersLock})));
    EXPECT_EQ(opened, 0);
    const std::optional<QString> problem =
        problemOf(chooseDesktop(x11Session(), {&neverOpens, &offersLock}));
    ASSERT_TRUE(problem);
    EXPECT_TRUE(problem->contains(QStringLiteral("\":0\""))) << problem->toStdString();
    EXPECT_TRUE(
        problemOf(chooseDesktop(SessionFacts{"cocoa", {}, {}, ":0"}, {&opens, &offersLock})));
}

TEST(SessionCheck, HeadlessPlatformsAskedForExplicitlyRun) {
    SessionFacts offscreen;
    offscreen.qtPlatform = "offscreen";
    offscreen.waylandDisplay = "wayland-0";
    EXPECT_EQ(chooseDesktop(offscreen, {&neverOpens, &noCompositor}),
              (std::variant<DesktopKind, QString>(DesktopKind::Headless)));
    offscreen.qtPlatform = "minimal:enable_fonts";
    EXPECT_EQ(chooseDesktop(offscreen, {&neverOpens, &noCompositor}),
              (std::variant<DesktopKind, QString>(DesktopKind::Headless)));
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
