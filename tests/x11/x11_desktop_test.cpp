// The X11 workspace and window list against a real window manager: run by
// run_in_openbox_session.sh on a private Xvfb display with openbox and tint2.
#include "controls/tool_tip_popover.h"
#include "platform/linux/qt_main_screen.h"
#include "platform/window_compositing.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_desktop.h"
#include "platform/x11/x11_window_list.h"
#include "platform/x11/x11_workspace.h"
#include "tests/doubles/platform_doubles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <unistd.h>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

constexpr int deadlineMs = 5000;

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(deadlineMs) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << ' ' << arguments.join(u' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString hex(quint32 window) {
    return u"0x"_s + QString::number(window, 16);
}

quint32 activeWindow() {
    const QString text = runTool(u"xprop"_s, {u"-root"_s, u"_NET_ACTIVE_WINDOW"_s});
    const auto match = QRegularExpression(u"window id # (0x[0-9a-f]+)"_s).match(text);
    return match.hasMatch() ? match.captured(1).toUInt(nullptr, 16) : 0;
}

QString property(quint32 window, const QString& name) {
    return runTool(u"xprop"_s, {u"-id"_s, hex(window), name});
}

// In the window manager's client list: managed, so that a request about it is not lost.
bool isManaged(quint32 window) {
    const QString text = runTool(u"xprop"_s, {u"-root"_s, u"_NET_CLIENT_LIST"_s});
    return QRegularExpression(u"[ #,]"_s + hex(window) + u"(,|$)"_s,
                              QRegularExpression::MultilineOption)
        .match(text)
        .hasMatch();
}

bool isMinimised(quint32 window) {
    return property(window, u"_NET_WM_STATE"_s).contains(u"_NET_WM_STATE_HIDDEN"_s);
}

int number(const QString& text, const QString& label) {
    const auto match = QRegularExpression(label + uR"(:\s+(-?\d+))"_s).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The ancestor of a window just below the root, as xwininfo sees it: the window manager's frame
// around a client, the panel's around a tray icon.
quint32 rootChildHolding(quint32 window) {
    QString id = hex(window);
    for (int depth = 0; depth < 8; ++depth) {
        const QString tree = runTool(u"xwininfo"_s, {u"-tree"_s, u"-id"_s, id});
        const QString root =
            QRegularExpression(u"Root window id: (0x[0-9a-f]+)"_s).match(tree).captured(1);
        const QString parent =
            QRegularExpression(u"Parent window id: (0x[0-9a-f]+)"_s).match(tree).captured(1);
        if (parent.isEmpty() || parent == root) {
            break;
        }
        id = parent;
    }
    return id.toUInt(nullptr, 16);
}

// Where a window stands in root coordinates, as xwininfo sees it.
QRect geometryOf(quint32 window) {
    const QString info = runTool(u"xwininfo"_s, {u"-id"_s, hex(window)});
    return QRect(number(info, u"Absolute upper-left X"_s), number(info, u"Absolute upper-left Y"_s),
                 number(info, u"Width"_s), number(info, u"Height"_s));
}

QRect frameOf(quint32 window) {
    return geometryOf(rootChildHolding(window));
}

void activateWithXdotool(quint32 window) {
    runTool(u"xdotool"_s, {u"windowactivate"_s, u"--sync"_s, QString::number(window)});
}

// One run of tests/x11/x11_test_client with the windows its arguments describe.
class TestClient {
public:
    explicit TestClient(const QStringList& windowSpecs) {
        m_process.start(QString::fromLocal8Bit(qgetenv("VANTREL_X11_TEST_CLIENT")), windowSpecs);
        const bool started = QTest::qWaitFor(
            [&] {
                m_process.waitForReadyRead(50);
                while (m_process.canReadLine()) {
                    const QByteArray line = m_process.readLine().trimmed();
                    if (line.startsWith("window ")) {
                        windows.append(line.mid(7).toUInt());
                    }
                }
                return windows.size() == windowSpecs.size();
            },
            deadlineMs);
        EXPECT_TRUE(started) << "test client did not open its windows: "
                             << m_process.readAllStandardError().toStdString();
    }
    ~TestClient() { quit(); }
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    qint64 pid() const { return m_process.processId(); }
    void quit() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.closeWriteChannel();
            m_process.waitForFinished(deadlineMs);
        }
    }

    QList<quint32> windows;

private:
    QProcess m_process;
};

// What a workspace reported, in order.
struct Recorder {
    explicit Recorder(Workspace& workspace) {
        QObject::connect(
            &workspace, &Workspace::runningApplicationsChanged, &context,
            [this](const RunningApplicationsChange& change) { changes.append(change); });
        QObject::connect(
            &workspace, &Workspace::applicationActivated, &context,
            [this](const RunningApplicationRef& application) { activations.append(application); });
    }

    RunningApplicationRef launchOf(qint64 pid) const {
        for (const RunningApplicationsChange& change : changes) {
            if (change.newApplications && !change.newApplications->isEmpty() &&
                change.newApplications->first()->processIdentifier() == pid) {
                return change.newApplications->first();
            }
        }
        return nullptr;
    }
    int launchCount(qint64 pid) const {
        int count = 0;
        for (const RunningApplicationsChange& change : changes) {
            if (change.newApplications) {
                for (const RunningApplicationRef& application : *change.newApplications) {
                    count += application->processIdentifier() == pid ? 1 : 0;
                }
            }
        }
        return count;
    }
    RunningApplicationRef waitForLaunch(qint64 pid) const {
        RunningApplicationRef launched;
        if (!QTest::qWaitFor([&] { return (launched = launchOf(pid)) != nullptr; }, deadlineMs)) {
            ADD_FAILURE() << "no launch of process " << pid;
        }
        return launched;
    }

    QObject context;
    QList<RunningApplicationsChange> changes;
    RunningApplicationList activations;
};

class X11DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        connection = x11::X11Connection::fromQt();
        ASSERT_TRUE(connection) << "Qt is not on X11; run through run_in_openbox_session.sh";
    }

    std::unique_ptr<X11Workspace> makeWorkspace(X11Workspace::Providers providers = {}) {
        if (!providers.desktopEntries) {
            providers.desktopEntries = [this] { return entries; };
        }
        return std::make_unique<X11Workspace>(connection, std::move(providers));
    }

    // The desktop as the program makes it, counting in windowChanges the changes of windows it
    // reports.
    bool startDesktop() {
        desktop = makeX11Desktop({});
        if (desktop) {
            QObject::connect(desktop->workspace.get(), &Workspace::windowsChanged,
                             [this] { ++windowChanges; });
        }
        return desktop.has_value();
    }

    std::shared_ptr<x11::X11Connection> connection;
    QList<DesktopEntry> entries;
    std::optional<X11Desktop> desktop;
    int windowChanges = 0;
};

TEST_F(X11DesktopTest, MainScreenIsThePrimaryScreen) {
    EXPECT_EQ(QtMainScreen().frame(), QRectF(0, 0, 1280, 800));
}

TEST_F(X11DesktopTest, LaunchIsReportedOnceWithItsDesktopEntry) {
    DesktopEntry tester;
    tester.id = u"org.example.Tester"_s;
    tester.name = u"Tester"_s;
    tester.icon = u"/nonexistent/tester.png"_s;
    tester.startupWMClass = u"VantrelTester"_s;
    entries = {tester};
    auto workspace = makeWorkspace();
    Recorder recorder(*workspace);

    TestClient client({u"class=vantrel-tester,VantrelTester"_s,
                       u"class=vantrel-tester,VantrelTester;type=dialog;transient"_s});
    const RunningApplicationRef launched = recorder.waitForLaunch(client.pid());
    ASSERT_TRUE(launched);
    EXPECT_EQ(launched->bundleIdentifier(), u"org.example.Tester"_s);
    EXPECT_EQ(launched->localizedName(), u"Tester"_s);
    EXPECT_EQ(launched->activationPolicy(), ActivationPolicy::Regular);
    EXPECT_FALSE(launched->isHidden());
    EXPECT_FALSE(launched->isTerminated());
    EXPECT_TRUE(workspace->runningApplications().contains(launched));

    // A second process of the same program is an application of its own.
    TestClient second({u"class=vantrel-tester,VantrelTester"_s});
    ASSERT_TRUE(recorder.waitForLaunch(second.pid()));
    EXPECT_NE(recorder.launchOf(second.pid()), launched);
    EXPECT_EQ(recorder.launchCount(client.pid()), 1);
    EXPECT_EQ(workspace->runningApplications().count(launched), 1);
}

TEST_F(X11DesktopTest, ProgramsWithoutAnEntryAndWindowsThatAreNoApplication) {
    auto workspace = makeWorkspace();
    Recorder recorder(*workspace);

    TestClient dock({u"type=dock;geometry=100x20+0+780"_s});
    TestClient dialogOnly({u"type=dialog"_s});
    TestClient accessory({u"class=helper,Helper;skip-taskbar"_s});
    // Reported in order: once this one is in, the windows before it have been seen.
    const RunningApplicationRef launched = recorder.waitForLaunch(accessory.pid());
    ASSERT_TRUE(launched);
    EXPECT_EQ(launched->activationPolicy(), ActivationPolicy::Accessory);
    EXPECT_EQ(launched->bundleIdentifier(), std::nullopt);
    EXPECT_EQ(launched->localizedName(), u"Helper"_s); // the window class without an entry

    for (const qint64 pid : {dock.pid(), dialogOnly.pid()}) {
        EXPECT_EQ(recorder.launchCount(pid), 0) << pid;
        for (const RunningApplicationRef& application : workspace->runningApplications()) {
            EXPECT_NE(application->processIdentifier(), pid);
        }
    }
}

// The X server names the process of every local client, whatever its windows claim: a sandbox's
// _NET_WM_PID is a number of its own PID namespace, and some toolkits set none.
TEST_F(X11DesktopTest, TheServerNamesTheProcessBehindEveryWindow) {
    auto workspace = makeWorkspace();
    Recorder recorder(*workspace);
    TestClient withoutPid({u"nopid;class=nopid,NoPid"_s});
    TestClient claimsElsewhere({u"machine=elsewhere.example;class=far,Far"_s});
    for (const TestClient* client : {&withoutPid, &claimsElsewhere}) {
        const RunningApplicationRef launched = recorder.waitForLaunch(client->pid());
        ASSERT_TRUE(launched) << client->pid();
        EXPECT_EQ(launched->processIdentifier(), client->pid());
    }
    const std::optional<QList<WindowDescription>> windows =
        X11WindowList(connection).onScreenWindows();
    ASSERT_TRUE(windows.has_value());
    const auto listed = [&](qint64 pid) {
        return std::any_of(windows->cbegin(), windows->cend(), [&](const WindowDescription& w) {
            return w.ownerProcessIdentifier == pid;
        });
    };
    EXPECT_TRUE(listed(withoutPid.pid()));
    EXPECT_TRUE(listed(claimsElsewhere.pid()));
}

TEST_F(X11DesktopTest, ActivationIsReportedWhenAnotherApplicationComesForward) {
    auto workspace = makeWorkspace();
    Recorder recorder(*workspace);
    TestClient first({u"geometry=200x150+50+50"_s, u"geometry=200x150+300+50"_s});
    TestClient second({u"geometry=200x150+50+300"_s});
    const RunningApplicationRef firstApp = recorder.waitForLaunch(first.pid());
    const RunningApplicationRef secondApp = recorder.waitForLaunch(second.pid());
    ASSERT_TRUE(firstApp && secondApp);

    activateWithXdotool(first.windows[0]);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !recorder.activations.isEmpty() && recorder.activations.last() == firstApp; },
        deadlineMs));
    const qsizetype before = recorder.activations.size();

    // Another window of the same application is news too: a lock covers the window in front.
    activateWithXdotool(first.windows[1]);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return recorder.activations.size() > before && recorder.activations.last() == firstApp;
        },
        deadlineMs));
    // So is an application that takes the focus itself, without asking the window manager.
    const qsizetype beforeFocus = recorder.activations.size();
    runTool(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, QString::number(second.windows[0])});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return recorder.activations.size() > beforeFocus &&
                   recorder.activations.last() == secondApp;
        },
        deadlineMs));

    // Iconified, it loses the focus (to none or to a window openbox falls back on); coming back
    // is news again.
    ASSERT_TRUE(secondApp->hide());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return secondApp->isHidden() && activeWindow() != second.windows[0]; }, deadlineMs));
    QTest::qWait(100);
    const qsizetype beforeReturn = recorder.activations.size();
    activateWithXdotool(second.windows[0]);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return recorder.activations.size() > beforeReturn &&
                   recorder.activations.last() == secondApp;
        },
        deadlineMs));
}

TEST_F(X11DesktopTest, HideMinimisesEveryWindowAndTerminationIsSeen) {
    auto workspace = makeWorkspace();
    Recorder recorder(*workspace);
    TestClient client({u"geometry=200x150+50+50"_s, u"geometry=200x150+300+50"_s});
    const RunningApplicationRef application = recorder.waitForLaunch(client.pid());
    ASSERT_TRUE(application);
    // The launch is news with the first window; the second may still be on its way.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return isManaged(client.windows[0]) && isManaged(client.windows[1]); }, deadlineMs));

    ASSERT_TRUE(application->hide());
    ASSERT_TRUE(QTest::qWaitFor([&] { return application->isHidden(); }, deadlineMs))
        << property(client.windows[0], u"_NET_WM_STATE"_s).toStdString()
        << property(client.windows[1], u"_NET_WM_STATE"_s).toStdString()
        << property(client.windows[0], u"WM_STATE"_s).toStdString()
        << property(client.windows[1], u"WM_STATE"_s).toStdString();
    EXPECT_TRUE(isMinimised(client.windows[0]));
    EXPECT_TRUE(isMinimised(client.windows[1]));

    // One window back: no longer hidden.
    activateWithXdotool(client.windows[1]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !application->isHidden(); }, deadlineMs));
    EXPECT_TRUE(isMinimised(client.windows[0]));

    const qsizetype changesBefore = recorder.changes.size();
    client.quit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return application->isTerminated(); }, deadlineMs));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return recorder.changes.size() > changesBefore; }, deadlineMs));
    EXPECT_FALSE(recorder.changes.last().newApplications.has_value());
    EXPECT_FALSE(workspace->runningApplications().contains(application));
    EXPECT_FALSE(application->hide());
}

TEST_F(X11DesktopTest, WindowOnAnotherDesktopIsNotHiddenNorOnScreen) {
    auto workspace = makeWorkspace();
    X11WindowList windowList(connection);
    Recorder recorder(*workspace);
    TestClient client({u"geometry=200x150+50+50"_s});
    const RunningApplicationRef application = recorder.waitForLaunch(client.pid());
    ASSERT_TRUE(application);

    runTool(u"xdotool"_s,
            {u"set_desktop_for_window"_s, QString::number(client.windows[0]), u"1"_s});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return property(client.windows[0], u"_NET_WM_DESKTOP"_s).contains(u"= 1"_s); },
        deadlineMs));
    const auto windows = windowList.onScreenWindows();
    ASSERT_TRUE(windows.has_value());
    for (const WindowDescription& window : *windows) {
        EXPECT_NE(window.ownerProcessIdentifier, client.pid());
    }
    EXPECT_FALSE(application->isHidden());
}

TEST_F(X11DesktopTest, WindowListIsFrontToBackWithFrameBounds) {
    ASSERT_TRUE(startDesktop());
    const WindowList& windowList = *desktop->windowList;
    Recorder recorder(*desktop->workspace);
    TestClient back({u"geometry=300x200+100+100"_s});
    TestClient front({u"geometry=400x300+250+180"_s});
    ASSERT_TRUE(recorder.waitForLaunch(back.pid()) && recorder.waitForLaunch(front.pid()));

    const auto indexOf = [](const QList<WindowDescription>& windows, qint64 pid) {
        for (qsizetype i = 0; i < windows.size(); ++i) {
            if (windows[i].ownerProcessIdentifier == pid) {
                return i;
            }
        }
        return qsizetype{-1};
    };
    for (TestClient* raised : {&front, &back}) {
        activateWithXdotool(raised->windows[0]);
        TestClient* other = raised == &front ? &back : &front;
        std::optional<QList<WindowDescription>> windows;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                windows = windowList.onScreenWindows();
                return windows && indexOf(*windows, raised->pid()) >= 0 &&
                       indexOf(*windows, raised->pid()) < indexOf(*windows, other->pid());
            },
            deadlineMs));
        for (TestClient* client : {&front, &back}) {
            const WindowDescription& window = (*windows)[indexOf(*windows, client->pid())];
            ASSERT_TRUE(window.bounds.has_value());
            EXPECT_EQ(*window.bounds, QRectF(frameOf(client->windows[0])));
            EXPECT_FALSE(window.inTransition);
            // The client area lies inside the frame, where it was asked to be.
            EXPECT_TRUE(window.bounds->contains(
                QRectF(QPointF(window.bounds->x() + 1, window.bounds->y() + 1),
                       client == &front ? QSizeF(398, 298) : QSizeF(298, 198))));
        }
    }
}

TEST_F(X11DesktopTest, AFrameShowingLessThanItsWindowIsInTransition) {
    // Shaded, only the title bar shows, as in openbox's minimise and restore animations.
    ASSERT_TRUE(startDesktop());
    const WindowList& windowList = *desktop->windowList;
    Recorder recorder(*desktop->workspace);
    TestClient client({u"geometry=300x200+100+100"_s});
    ASSERT_TRUE(recorder.waitForLaunch(client.pid()));
    const auto transition = [&]() -> std::optional<bool> {
        const auto windows = windowList.onScreenWindows();
        for (const WindowDescription& window : windows.value_or(QList<WindowDescription>{})) {
            if (window.ownerProcessIdentifier == client.pid())
                return window.inTransition;
        }
        return std::nullopt;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return transition() == false; }, deadlineMs));
    const QString id = hex(client.windows[0]);
    runTool(u"wmctrl"_s, {u"-i"_s, u"-r"_s, id, u"-b"_s, u"add,shaded"_s});
    EXPECT_TRUE(QTest::qWaitFor([&] { return transition() == true; }, deadlineMs));
    runTool(u"wmctrl"_s, {u"-i"_s, u"-r"_s, id, u"-b"_s, u"remove,shaded"_s});
    EXPECT_TRUE(QTest::qWaitFor([&] { return transition() == false; }, deadlineMs));
}

TEST_F(X11DesktopTest, ActivateSelfTakesTheFocusThroughTheWindowManager) {
    auto workspace = makeWorkspace();
    X11WindowList windowList(connection);
    Recorder recorder(*workspace);
    TestClient other({u"geometry=300x300+100+100"_s});
    ASSERT_TRUE(recorder.waitForLaunch(other.pid()));
    activateWithXdotool(other.windows[0]);

    // Asked for before the window manager has taken the window on: done once it has. Shown
    // without activation, so that openbox does not focus it on its own.
    QWidget lockWindow;
    lockWindow.setAttribute(Qt::WA_ShowWithoutActivating);
    lockWindow.setGeometry(150, 150, 200, 200);
    lockWindow.winId();
    workspace->activateSelf(lockWindow.windowHandle());
    lockWindow.show();
    const auto ownWindow = static_cast<quint32>(lockWindow.winId());
    ASSERT_TRUE(QTest::qWaitFor([&] { return activeWindow() == ownWindow; }, deadlineMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return lockWindow.isActiveWindow(); }, deadlineMs));

    // Another window takes the focus; asking again brings it back and raises the lock above.
    activateWithXdotool(other.windows[0]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lockWindow.isActiveWindow(); }, deadlineMs));
    workspace->activateSelf(lockWindow.windowHandle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return lockWindow.isActiveWindow(); }, deadlineMs));
    EXPECT_EQ(activeWindow(), ownWindow);
    // Above the other application's window (the panel may stand above both).
    const auto windows = windowList.onScreenWindows();
    ASSERT_TRUE(windows.has_value());
    const auto firstOf = [&](qint64 pid) {
        return std::find_if(windows->cbegin(), windows->cend(), [&](const WindowDescription& w) {
            return w.ownerProcessIdentifier == pid;
        });
    };
    ASSERT_NE(firstOf(::getpid()), windows->cend());
    EXPECT_LT(firstOf(::getpid()), firstOf(other.pid()));
}

TEST_F(X11DesktopTest, WithoutACompositorTheHelpBubbleTakesItsOwnShape) {
    // openbox blends nothing: clear pixels would show black around the bubble.
    ASSERT_FALSE(desktopCompositesWindows());
    QWidget anchor;
    anchor.setGeometry(100, 100, 40, 24);
    anchor.show();
    ToolTipPopover bubble;
    bubble.setContentSize(QSize(200, 40));
    bubble.showRelativeTo(anchor.rect(), &anchor, RectEdge::MaxX);

    const QRegion shape = bubble.mask();
    ASSERT_FALSE(shape.isEmpty());
    const QRect window(QPoint(0, 0), bubble.size());
    EXPECT_TRUE(window.contains(shape.boundingRect()));
    // The rounded corner away from the arrow is cut off; the middle of the body is kept.
    const QRect body = bubble.placement().body.translated(-bubble.placement().window.topLeft());
    EXPECT_FALSE(shape.contains(body.topRight()));
    EXPECT_TRUE(shape.contains(body.center()));
}

TEST_F(X11DesktopTest, UnmanagedWindowsAreListedWhereTheyStandAndTakeTheFocusThemselves) {
    ASSERT_TRUE(startDesktop());
    Recorder recorder(*desktop->workspace);
    TestClient client({u"geometry=300x200+100+100"_s});
    ASSERT_TRUE(recorder.waitForLaunch(client.pid()));
    activateWithXdotool(client.windows[0]);

    // Over the client, outside the window manager: listed in front of it, by its own id.
    QWidget cover(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    cover.setGeometry(90, 90, 400, 300);
    cover.show();
    const auto coverId = static_cast<quint64>(cover.winId());
    std::optional<QList<WindowDescription>> windows;
    const auto indexOf = [&](auto matches) {
        for (qsizetype i = 0; windows && i < windows->size(); ++i) {
            if (matches((*windows)[i]))
                return i;
        }
        return qsizetype{-1};
    };
    const auto ownIndex = [&] {
        return indexOf([&](const WindowDescription& w) { return w.windowId == coverId; });
    };
    const auto clientIndex = [&] {
        return indexOf(
            [&](const WindowDescription& w) { return w.ownerProcessIdentifier == client.pid(); });
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            windows = desktop->windowList->onScreenWindows();
            return ownIndex() >= 0 && clientIndex() >= 0;
        },
        deadlineMs));
    EXPECT_LT(ownIndex(), clientIndex());
    EXPECT_EQ((*windows)[ownIndex()].bounds, QRectF(90, 90, 400, 300));
    EXPECT_EQ((*windows)[ownIndex()].ownerProcessIdentifier, ::getpid());

    // No window manager hands it the focus: it takes the focus itself.
    desktop->workspace->activateSelf(cover.windowHandle());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return runTool(u"xdotool"_s, {u"getwindowfocus"_s}).trimmed().toULongLong() == coverId;
        },
        deadlineMs));

    // Moving a window someone else owns is reported, once for the burst.
    windowChanges = 0;
    runTool(u"xdotool"_s,
            {u"windowmove"_s, u"--sync"_s, QString::number(client.windows[0]), u"400"_s, u"300"_s});
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowChanges > 0; }, deadlineMs));
    windows = desktop->windowList->onScreenWindows();
    ASSERT_GE(clientIndex(), 0);
    EXPECT_EQ((*windows)[clientIndex()].bounds, QRectF(frameOf(client.windows[0])));
}

// An icon another program puts in the panel's system tray is a window inside the panel's: listed
// just in front of the panel, with its owner and where it shows. That it goes is reported, though
// nothing at the root tells of it.
TEST_F(X11DesktopTest, TrayIconsAreListedInFrontOfThePanelAndTheirGoingIsReported) {
    ASSERT_TRUE(startDesktop());
    TestClient client({u"tray-icon;geometry=22x22+0+0;class=tray-tester,TrayTester"_s});
    ASSERT_EQ(client.windows.size(), 1);
    const quint32 icon = client.windows[0];
    std::optional<QList<WindowDescription>> windows;
    const auto iconIndex = [&] {
        for (qsizetype i = 0; windows && i < windows->size(); ++i) {
            if ((*windows)[i].windowId == icon)
                return i;
        }
        return qsizetype{-1};
    };
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            windows = desktop->windowList->onScreenWindows();
            return iconIndex() >= 0;
        },
        deadlineMs))
        << "the icon is not listed";
    const qsizetype at = iconIndex();
    EXPECT_TRUE((*windows)[at].trayIcon);
    EXPECT_EQ((*windows)[at].ownerProcessIdentifier, client.pid());
    EXPECT_EQ((*windows)[at].bounds, QRectF(geometryOf(icon)));
    ASSERT_LT(at + 1, windows->size());
    EXPECT_EQ((*windows)[at + 1].windowId, rootChildHolding(icon));
    EXPECT_EQ(std::count_if(windows->cbegin(), windows->cend(),
                            [](const WindowDescription& w) { return w.trayIcon; }),
              1);

    QTest::qWait(200);
    windowChanges = 0;
    client.quit();
    ASSERT_TRUE(QTest::qWaitFor([&] { return windowChanges > 0; }, deadlineMs));
    windows = desktop->windowList->onScreenWindows();
    EXPECT_EQ(iconIndex(), -1);
}

TEST_F(X11DesktopTest, BundledProgramsStandForTheirProcess) {
    auto bundled = testing::makeFakeApplication(u"com.example.bundled"_s, 0, u"Bundled"_s);
    qint64 bundledPid = 0;
    int scans = 0;
    X11Workspace::Providers providers;
    // Every scan makes new objects, as a /proc scan would.
    providers.bundledApplications = [&] {
        ++scans;
        RunningApplicationList found;
        if (bundledPid != 0) {
            auto fresh = testing::makeFakeApplication(u"com.example.bundled"_s, bundledPid);
            found.append(scans == 1 ? RunningApplicationRef(bundled) : fresh);
        }
        return found;
    };
    TestClient client({u"geometry=200x150+50+50"_s, u"geometry=200x150+300+50"_s});
    bundledPid = client.pid();
    bundled->pid = bundledPid;

    auto workspace = makeWorkspace(std::move(providers));
    Recorder recorder(*workspace);
    const RunningApplicationList running = workspace->runningApplications();
    EXPECT_EQ(running.count(bundled), 1);
    for (const RunningApplicationRef& application : running) {
        EXPECT_TRUE(application == bundled || application->processIdentifier() != bundledPid);
    }

    // The window manager may have made the new window active already, before the workspace
    // looked: another application comes forward first, so that the bundled one comes after it.
    TestClient other({u"geometry=100x100+600+400"_s});
    activateWithXdotool(other.windows[0]);
    activateWithXdotool(client.windows[1]);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return recorder.activations.contains(bundled); }, deadlineMs));
    EXPECT_EQ(workspace->runningApplications().count(bundled), 1);
    EXPECT_GT(scans, 1);
}

} // namespace
} // namespace vantrel
