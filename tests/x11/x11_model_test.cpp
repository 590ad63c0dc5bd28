#include "platform/x11/x11_model.h"

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

ClientWindow shows(ClientWindow window, const QString& applicationId) {
    window.applicationId = applicationId;
    return window;
}

ClientWindow unmanaged(quint32 id, qint64 pid, std::optional<QString> applicationId = {}) {
    ClientWindow window = client(id, pid, WindowKind::Other);
    window.unmanaged = true;
    window.applicationId = std::move(applicationId);
    return window;
}

const ApplicationKey process10{10, std::nullopt};

TEST(WindowsByApplication, GroupsByProcessAndLeavesPanelsAndUnknownOwnersOut) {
    const auto applications = windowsByApplication({
        client(1, 10, WindowKind::Normal),
        client(2, 20, WindowKind::Dock),
        client(3, 10, WindowKind::Dialog),
        client(4, std::nullopt, WindowKind::Normal),
        client(5, 30, WindowKind::Desktop),
    });
    ASSERT_EQ(applications.keys(), QList<ApplicationKey>{process10});
    EXPECT_EQ(applications[process10].windows, (QList<quint32>{1, 3}));
    EXPECT_EQ(applications[process10].normalWindows, QList<quint32>{1});
}

TEST(WindowsByApplication, OneProcessShowsAnApplicationPerRecognisedWindow) {
    // An office suite's one process: a text document, a spreadsheet and an unrecognised window.
    const QString writer = QStringLiteral("libreoffice-writer");
    const QString calc = QStringLiteral("libreoffice-calc");
    const auto applications = windowsByApplication({
        shows(client(1, 10, WindowKind::Normal), writer),
        shows(client(2, 10, WindowKind::Normal, true), calc),
        shows(client(3, 10, WindowKind::Dialog), calc),
        client(4, 10, WindowKind::Normal),
    });
    ASSERT_EQ(applications.size(), 3);
    EXPECT_EQ(applications[(ApplicationKey{10, writer})].windows, QList<quint32>{1});
    EXPECT_EQ(applications[(ApplicationKey{10, calc})].windows, (QList<quint32>{2, 3}));
    EXPECT_EQ(applications[(ApplicationKey{10, calc})].shownWindows, QList<quint32>{3});
    EXPECT_EQ(applications[process10].windows, QList<quint32>{4});
    // Minimising the spreadsheet hides the spreadsheet only.
    EXPECT_FALSE(applications[(ApplicationKey{10, writer})].allHidden());
}

TEST(WindowsByApplication, WindowsOtherThanNormalOnesCountOnlyWhenRecognised) {
    const QString tool = QStringLiteral("org.example.Tool");
    const auto applications = windowsByApplication({
        shows(client(1, 10, WindowKind::Dialog), tool),      // a program of dialogs only
        shows(client(2, 20, WindowKind::Utility), tool),     // of a utility window only
        unmanaged(3, 30, tool),                              // of windows past the window manager
        client(4, 40, WindowKind::Dialog),                   // an unrecognised helper
        unmanaged(5, 50),                                    // a notification daemon's bubble
        client(6, 60, WindowKind::Normal), unmanaged(7, 60), // a menu of an application
    });
    EXPECT_EQ(applications.keys(),
              (QList<ApplicationKey>{{10, tool}, {20, tool}, {30, tool}, {60, std::nullopt}}));
    EXPECT_EQ(applications[(ApplicationKey{30, tool})].unmanaged, QList<quint32>{3});
    EXPECT_TRUE(applications[(ApplicationKey{30, tool})].windows.isEmpty());
    EXPECT_FALSE(applications[(ApplicationKey{30, tool})].allHidden());
    EXPECT_EQ(applications[(ApplicationKey{60, std::nullopt})].unmanaged, QList<quint32>{7});
}

TEST(WindowsByApplication, PolicyIsRegularOnlyWithANormalWindowInTheTaskbar) {
    const auto applications = windowsByApplication({
        client(1, 10, WindowKind::Normal, false, true),
        client(2, 10, WindowKind::Utility),
        client(3, 20, WindowKind::Normal, false, true),
        client(4, 20, WindowKind::Normal),
        shows(client(5, 30, WindowKind::Dialog), QStringLiteral("org.example.Tool")),
    });
    EXPECT_EQ(applications[process10].policy, ActivationPolicy::Accessory);
    EXPECT_EQ(applications[(ApplicationKey{20, std::nullopt})].policy, ActivationPolicy::Regular);
    const ApplicationKey tool{30, QStringLiteral("org.example.Tool")};
    EXPECT_EQ(applications[tool].policy, ActivationPolicy::Accessory);
    EXPECT_TRUE(applications[tool].normalWindows.isEmpty());
}

TEST(WindowsByApplication, HiddenOnlyWhenEveryWindowIsMinimised) {
    auto applications = windowsByApplication({
        client(1, 10, WindowKind::Normal, true), client(2, 10, WindowKind::Dialog, false),
        client(3, 20, WindowKind::Normal, true), client(4, 20, WindowKind::Dialog, true),
        client(5, 20, WindowKind::Dock, false), // a panel of the same process does not count
    });
    const ApplicationKey process20{20, std::nullopt};
    EXPECT_FALSE(applications[process10].allHidden());
    EXPECT_EQ(applications[process10].shownWindows, QList<quint32>{2});
    EXPECT_TRUE(applications[process20].allHidden());
    EXPECT_FALSE(ApplicationWindows{}.allHidden());
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
