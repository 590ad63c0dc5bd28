#include "platform/linux/x11_model.h"

#include <gtest/gtest.h>

namespace vantrel::x11 {
namespace {

TEST(WindowKind, FirstKnownTypeCountsAndNoneMeansNormalOrDialog) {
    EXPECT_EQ(windowKindFromTypes({std::nullopt, WindowKind::Utility, WindowKind::Normal}, false),
              WindowKind::Utility);
    EXPECT_EQ(windowKindFromTypes({std::nullopt}, false), WindowKind::Normal);
    EXPECT_EQ(windowKindFromTypes({}, false), WindowKind::Normal);
    EXPECT_EQ(windowKindFromTypes({}, true), WindowKind::Dialog);
    EXPECT_EQ(windowKindFromTypes({WindowKind::Normal}, true), WindowKind::Normal);
}

ClientWindow client(quint32 id, std::optional<qint64> pid, WindowKind kind, bool hidden = false,
                    bool skipTaskbar = false) {
    return ClientWindow{id, pid, kind, hidden, skipTaskbar};
}

TEST(WindowsByProcess, GroupsByProcessAndLeavesPanelsAndUnknownOwnersOut) {
    const auto processes = windowsByProcess({
        client(1, 10, WindowKind::Normal),
        client(2, 20, WindowKind::Dock),
        client(3, 10, WindowKind::Dialog),
        client(4, std::nullopt, WindowKind::Normal),
        client(5, 30, WindowKind::Desktop),
    });
    ASSERT_EQ(processes.keys(), QList<qint64>{10});
    EXPECT_EQ(processes[10].windows, (QList<quint32>{1, 3}));
    EXPECT_EQ(processes[10].normalWindows, QList<quint32>{1});
}

TEST(WindowsByProcess, PolicyIsRegularOnlyWithANormalWindowInTheTaskbar) {
    const auto processes = windowsByProcess({
        client(1, 10, WindowKind::Normal, false, true),
        client(2, 10, WindowKind::Utility),
        client(3, 20, WindowKind::Normal, false, true),
        client(4, 20, WindowKind::Normal),
        client(5, 30, WindowKind::Dialog),
    });
    EXPECT_EQ(processes[10].policy, ActivationPolicy::Accessory);
    EXPECT_EQ(processes[20].policy, ActivationPolicy::Regular);
    EXPECT_EQ(processes[30].policy, ActivationPolicy::Accessory);
    EXPECT_TRUE(processes[30].normalWindows.isEmpty());
}

TEST(WindowsByProcess, HiddenOnlyWhenEveryWindowIsMinimised) {
    auto processes = windowsByProcess({
        client(1, 10, WindowKind::Normal, true), client(2, 10, WindowKind::Dialog, false),
        client(3, 20, WindowKind::Normal, true), client(4, 20, WindowKind::Dialog, true),
        client(5, 20, WindowKind::Dock, false), // a panel of the same process does not count
    });
    EXPECT_FALSE(processes[10].allHidden());
    EXPECT_EQ(processes[10].shownWindows, QList<quint32>{2});
    EXPECT_TRUE(processes[20].allHidden());
    EXPECT_FALSE(ProcessWindows{}.allHidden());
}

TEST(NativeToLogical, KeepsEachScreensOriginAndDividesTheRest) {
    const QList<ScreenScale> single = {{QRect(0, 0, 1280, 800), 1.0}};
    EXPECT_EQ(nativeToLogical(QRectF(10, 20, 30, 40), single), QRectF(10, 20, 30, 40));

    // A 2x screen of 1280x800 device pixels to the right of a 1x one.
    const QList<ScreenScale> mixed = {{QRect(0, 0, 1280, 800), 1.0},
                                      {QRect(1280, 0, 640, 400), 2.0}};
    EXPECT_EQ(nativeToLogical(QRectF(1480, 100, 400, 300), mixed), QRectF(1380, 50, 200, 150));
    EXPECT_EQ(nativeToLogical(QRectF(100, 100, 400, 300), mixed), QRectF(100, 100, 400, 300));
    // Off every screen: the first one's scale.
    EXPECT_EQ(nativeToLogical(QRectF(-500, -500, 10, 10), mixed), QRectF(-500, -500, 10, 10));
    EXPECT_EQ(nativeToLogical(QRectF(1, 2, 3, 4), {}), QRectF(1, 2, 3, 4));
}

TEST(NetWmIcon, ReadsEverySizeAndStopsAtATruncatedOne) {
    const QList<quint32> values = {2, 1, 0xFFFF0000, 0x8000FF00, // 2x1
                                   1, 1, 0xFF0000FF,             // 1x1
                                   4, 4, 0xFFFFFFFF};            // cut short
    const QList<QImage> images = imagesFromNetWmIcon(values);
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(images[0].size(), QSize(2, 1));
    EXPECT_EQ(images[0].pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(images[0].pixel(1, 0), 0x8000FF00u);
    EXPECT_EQ(images[1].pixel(0, 0), 0xFF0000FFu);
    EXPECT_TRUE(imagesFromNetWmIcon({0, 0, 1}).isEmpty());
    EXPECT_TRUE(imagesFromNetWmIcon({}).isEmpty());
}

} // namespace
} // namespace vantrel::x11
