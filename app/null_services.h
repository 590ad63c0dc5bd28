#pragma once

#include "platform/application_paths.h"
#include "platform/login_items.h"
#include "platform/notification_center.h"
#include "platform/window_list.h"
#include "platform/workspace.h"

namespace vantrel {

// Stand-ins for desktop services whose real implementations are not in the program yet. Each
// does the least that keeps the program running and claims nothing it did not do.

// Knows no other application; brings only our own windows forward, through Qt.
class NullWorkspace final : public Workspace {
    Q_OBJECT

public:
    using Workspace::Workspace;

    RunningApplicationList runningApplications() const override { return {}; }
    void activateSelf(QWindow* keyWindow) override;
    void showOnAllDesktops(QWindow* window) override;
};

// Sees no windows: the list cannot be had.
class NullWindowList final : public WindowList {
public:
    std::optional<QList<WindowDescription>> onScreenWindows() const override {
        return std::nullopt;
    }
};

// Has no session to post to: notifications are dropped, observers never called.
class NullNotificationCenter final : public DistributedNotificationCenter {
public:
    void post(const QString& name, const QString& object) override;
    void addObserver(const QString& name, const QString& object, const QObject* context,
                     std::function<void()> callback) override;
};

// Cannot register login items: every change reports failure.
class NullLoginItems final : public LoginItems {
public:
    bool setEnabled(const QString& bundleIdentifier, bool enabled) override;
};

// Knows no installed application.
class NullApplicationPaths final : public ApplicationPaths {
public:
    std::optional<QString>
    absolutePathForBundleIdentifier(const QString& identifier) const override;
    QIcon iconForFile(const QString& path) const override;
};

} // namespace vantrel
