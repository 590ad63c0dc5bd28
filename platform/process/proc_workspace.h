#pragma once

#include "platform/process/proc_processes.h"
#include "platform/workspace.h"

#include <map>
#include <utility>

namespace vantrel {

// A program of a bundle, as the process table shows it.
class ProcRunningApplication final : public RunningApplication {
public:
    ProcRunningApplication(QString procRoot, BundledProcess process);

    std::optional<QString> bundleIdentifier() const override;
    qint64 processIdentifier() const override { return m_process.pid; }
    bool isHidden() const override { return false; }
    // Once its pid is gone or belongs to a newer process.
    bool isTerminated() const override;
    // From the bundle: LSBackgroundOnly means no windows, LSUIElement no task-bar presence.
    ActivationPolicy activationPolicy() const override;
    // CFBundleDisplayName, else CFBundleName, else the bundle folder's name.
    std::optional<QString> localizedName() const override;
    // The process table knows no icons; the window system does.
    QIcon icon() const override { return {}; }
    // The process table cannot reach windows: never hides, and says so.
    bool hide() override { return false; }
    bool activate() override { return false; }

    const BundledProcess& process() const { return m_process; }

private:
    QString m_procRoot;
    BundledProcess m_process;
    mutable bool m_terminated = false;
};

// The running applications of a program without windows: the processes of this user in
// bundles that were started on the same session bus as this one. It reports no changes (it is
// asked, never watched) and, owning no windows, has nothing to bring forward.
class ProcWorkspace final : public Workspace {
    Q_OBJECT

public:
    explicit ProcWorkspace(QString procRoot = QStringLiteral("/proc"),
                           QString sessionBus = ownSessionBusKey(), QObject* parent = nullptr);

    // A fresh scan; an application that is still running keeps its object from scan to scan.
    RunningApplicationList runningApplications() const override;
    void activateSelf(QWindow*) override {}
    void fillOnMap(QWindow*, const QColor&) override {}
    bool grabKeyboard(QWindow*) override { return false; }
    void releaseKeyboard() override {}

private:
    QString m_procRoot;
    QString m_sessionBus;
    mutable std::map<std::pair<qint64, quint64>, std::shared_ptr<ProcRunningApplication>> m_known;
};

} // namespace vantrel
