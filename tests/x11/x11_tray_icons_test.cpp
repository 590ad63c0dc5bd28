#include "platform/x11/x11_tray_icons.h"

#include <gtest/gtest.h>

namespace vantrel::x11 {
namespace {

WindowDescription listed(quint64 id) {
    WindowDescription window;
    window.windowId = id;
    return window;
}

QList<quint64> idsOf(const QList<WindowDescription>& windows) {
    QList<quint64> ids;
    for (const WindowDescription& window : windows)
        ids.append(window.windowId);
    return ids;
}

TEST(HeldWindows, StandJustInFrontOfTheirHolderInTheOrderGiven) {
    // Front-most first: a menu, the panel, an application's window.
    const QList<WindowDescription> windows = {listed(10), listed(20), listed(30)};
    const QList<HeldWindow> icons = {{20, listed(201)}, {20, listed(202)}, {30, listed(301)}};
    EXPECT_EQ(idsOf(withHeldWindows(windows, icons)), (QList<quint64>{10, 201, 202, 20, 301, 30}));
}

TEST(HeldWindows, OnesWhoseHolderIsNotListedAreNotOnScreen) {
    const QList<WindowDescription> windows = {listed(10), listed(0)};
    EXPECT_EQ(idsOf(withHeldWindows(windows, {{99, listed(991)}, {0, listed(1)}})),
              (QList<quint64>{10, 0}));
}

} // namespace
} // namespace vantrel::x11
