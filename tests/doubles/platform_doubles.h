#pragma once

#include "platform/application_bundles.h"
#include "platform/application_launcher.h"
#include "platform/application_paths.h"
#include "platform/defaults_database.h"
#include "platform/delayed_perform.h"
#include "platform/login_items.h"
#include "platform/main_screen.h"
#include "platform/modal_alerts.h"
#include "platform/notification_center.h"
#include "platform/platform.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

#include <chrono>
#include <deque>
#include <QHash>
#include <QPointer>
#include <QWindow>
#include <vector>

namespace vantrel::testing {

class InMemoryDefaults final : public DefaultsDatabase {
public:
    QVariant value(const QString& key) const override { return m_values.value(key); }
    QVariantMap allValues() const override { return m_values; }
    bool setValue(const QString& key, const QVariant& value) override;
    bool removeValue(const QString& key) override;

    int writeCount = 0;
    // When true, every change is refused as a full disk would, leaving the values as they are.
    bool refusesWrites = false;

private:
    QVariantMap m_values;
};

class FakeRunningApplication final : public RunningApplication {
public:
    std::optional<QString> bundleIdentifier() const override { return identifier; }
    qint64 processIdentifier() const override { return pid; }
    bool isHidden() const override { return hidden; }
    bool isTerminated() const override { return terminated; }
    ActivationPolicy activationPolicy() const override { return policy; }
    std::optional<QString> localizedName() const override { return name; }
    QIcon icon() const override { return appIcon; }
    bool hide() override;
    bool activate() override {
        ++activateRequests;
        return !terminated;
    }

    std::optional<QString> identifier;
    qint64 pid = 0;
    bool hidden = false;
    bool terminated = false;
    // When false, hide() is counted but the application stays visible.
    bool hidesWhenAsked = true;
    int hideRequests = 0;
    int activateRequests = 0;
    ActivationPolicy policy = ActivationPolicy::Regular;
    std::optional<QString> name;
    QIcon appIcon;
};

std::shared_ptr<FakeRunningApplication> makeFakeApplication(std::optional<QString> identifier,
                                                            qint64 pid,
                                                            std::optional<QString> name = {});

class FakeWorkspace final : public Workspace {
    Q_OBJECT

public:
    RunningApplicationList runningApplications() const override { return applications; }
    void activateSelf(QWindow* keyWindow) override;
    void fillOnMap(QWindow* window, const QColor& color) override { fills.insert(window, color); }
    bool grabKeyboard(QWindow* window) override;
    void releaseKeyboard() override { keyboardGrabbedBy = nullptr; }
    bool knowsWindowPlacement() const override { return knowsPlacement; }

    // Adds the applications and reports the launch, the first one first.
    void launch(const RunningApplicationList& launched);
    // Marks the application terminated, drops it and reports a change without new applications.
    void terminate(const RunningApplicationRef& application);
    void activate(const RunningApplicationRef& application);

    RunningApplicationList applications;
    int activationCount = 0;
    QPointer<QWindow> lastKeyWindow;
    // Grabs fail while this is set, as when another program holds the keyboard.
    bool keyboardTaken = false;
    // False as on Wayland, where the desktop does not say where windows are.
    bool knowsPlacement = true;
    QHash<QWindow*, QColor> fills;
    QPointer<QWindow> keyboardGrabbedBy;
};

class FakeWindowList final : public WindowList {
public:
    std::optional<QList<WindowDescription>> onScreenWindows() const override {
        ++requestCount;
        return windows;
    }

    std::optional<QList<WindowDescription>> windows;
    mutable int requestCount = 0;
};

class FakeMainScreen final : public MainScreen {
public:
    std::optional<QRectF> frame() const override { return screenFrame; }
    // The main screen, then the others.
    QList<QRectF> screenFrames() const override {
        QList<QRectF> frames;
        if (screenFrame)
            frames.append(*screenFrame);
        return frames + otherScreens;
    }

    std::optional<QRectF> screenFrame = QRectF(0, 0, 1440, 900);
    QList<QRectF> otherScreens;
};

// A clock the tests advance: actions run when their time has come, in order of due time, with
// nothing waiting in real time.
class ManualDelayedPerform final : public DelayedPerform {
public:
    void perform(std::chrono::milliseconds delay, const QObject* context,
                 std::function<void()> action) override;

    // Moves the clock forward, running every action that falls due on the way.
    void advance(std::chrono::milliseconds by);
    std::chrono::milliseconds now() const { return m_now; }
    std::size_t pendingCount() const { return m_pending.size(); }
    // The delays asked for, in the order asked.
    std::vector<std::chrono::milliseconds> requestedDelays;

private:
    struct Pending {
        std::chrono::milliseconds due;
        std::uint64_t sequence;
        QPointer<QObject> context; // watched only, never used
        bool hadContext;
        std::function<void()> action;
    };
    std::chrono::milliseconds m_now{0};
    std::uint64_t m_sequence = 0;
    std::vector<Pending> m_pending;
};

// Answers alerts without a person: the queued answers first, then the first button.
class ScriptedAlerts final : public ModalAlerts {
public:
    int runModal(const AlertRequest& request) override;

    std::deque<int> nextAnswers;
    QList<AlertRequest> shown;
};

class RecordingNotificationCenter final : public DistributedNotificationCenter {
public:
    struct Posted {
        QString name;
        QString object;
    };

    void post(const QString& name, const QString& object) override;
    void addObserver(const QString& name, const QString& object, const QObject* context,
                     std::function<void()> callback) override;

    QList<Posted> posted;

private:
    struct Observer {
        QString name;
        QString object;
        QPointer<QObject> context; // watched only, never used
        std::function<void()> callback;
    };
    std::vector<Observer> m_observers;
};

class RecordingLoginItems final : public LoginItems {
public:
    struct Call {
        QString bundleIdentifier;
        bool enabled;
    };

    bool setEnabled(const QString& bundleIdentifier, bool enabled) override;

    QList<Call> calls;
    bool succeeds = true;
};

class FakeApplicationPaths final : public ApplicationPaths {
public:
    std::optional<QString>
    absolutePathForBundleIdentifier(const QString& identifier) const override;
    QIcon iconForFile(const QString& path) const override { return icons.value(path); }

    QHash<QString, QString> paths;
    QHash<QString, QIcon> icons;
};

// Folders of bundles in memory: a folder is listed when it has an entry in folders (hidden
// entries are the caller's to leave out), a path is a bundle when bundles has it, and a file
// exists when it is a listed entry, a bundle or in existingFiles.
class FakeApplicationBundles final : public ApplicationBundles {
public:
    QStringList applicationFolders() const override { return folderOrder; }
    std::optional<QStringList> folderContents(const QString& folder) const override;
    std::optional<ApplicationBundle> bundleAt(const QString& path) const override;
    std::optional<ApplicationBundle> bundleWithIdentifier(const QString& identifier) const override;
    bool fileExists(const QString& path) const override;

    // Adds a bundle at path with this identifier and CFBundleName.
    void addBundle(const QString& path, std::optional<QString> identifier,
                   const QString& name = {});

    QStringList folderOrder;
    QHash<QString, QStringList> folders;
    QHash<QString, ApplicationBundle> bundles;
    QHash<QString, QString> pathsByIdentifier; // for bundleWithIdentifier
    QStringList existingFiles;
};

class RecordingApplicationLauncher final : public ApplicationLauncher {
public:
    bool launchApplication(const QString& executablePath) override;

    QStringList launched;
    bool succeeds = true;
    // Runs inside each launch, as a started program that acts at once would.
    std::function<void(const QString&)> onLaunch;
};

// Every double, installed into platform() for the life of the object; the services that were
// installed before come back when it ends.
class PlatformDoubles {
public:
    PlatformDoubles();
    ~PlatformDoubles();
    PlatformDoubles(const PlatformDoubles&) = delete;
    PlatformDoubles& operator=(const PlatformDoubles&) = delete;

    InMemoryDefaults defaults;
    FakeWorkspace workspace;
    FakeWindowList windowList;
    FakeMainScreen mainScreen;
    ManualDelayedPerform clock;
    ScriptedAlerts alerts;
    RecordingNotificationCenter notifications;
    RecordingLoginItems loginItems;
    FakeApplicationPaths applicationPaths;
    FakeApplicationBundles applicationBundles;
    RecordingApplicationLauncher applicationLauncher;

private:
    Platform m_previous;
};

} // namespace vantrel::testing
