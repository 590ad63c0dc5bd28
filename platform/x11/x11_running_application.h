#pragma once

#include "platform/running_application.h"
#include "platform/x11/x11_model.h"

#include <functional>
#include <memory>

namespace vantrel {

namespace x11 {
class X11Connection;
}
class ProcessExitWatch;

// One application a process of this user shows on the X desktop. Its identity (pid, entry, name,
// icon) is fixed when it is first seen; the workspace keeps its windows current.
class X11RunningApplication final : public RunningApplication {
public:
    struct Identity {
        qint64 pid = 0;
        std::optional<QString> bundleIdentifier;
        std::optional<QString> name;
        QIcon icon;
        // Where the icon comes from when it is not given, asked the first time it is wanted.
        std::function<QIcon()> iconLoader;
        // Whether a window of the process is this application's; every one is when not given.
        std::function<bool(quint32)> ownsWindow;
    };

    X11RunningApplication(Identity identity, std::weak_ptr<x11::X11Connection> connection,
                          std::unique_ptr<ProcessExitWatch> exitWatch);
    ~X11RunningApplication() override;

    std::optional<QString> bundleIdentifier() const override { return m_identity.bundleIdentifier; }
    qint64 processIdentifier() const override { return m_identity.pid; }
    bool isHidden() const override { return m_windows.allHidden(); }
    bool isTerminated() const override;
    ActivationPolicy activationPolicy() const override { return m_policy; }
    std::optional<QString> localizedName() const override { return m_identity.name; }
    QIcon icon() const override;
    // Iconifies every window of the application not yet minimised (ICCCM WM_CHANGE_STATE to
    // IconicState), leaving those of the process's other applications.
    bool hide() override;
    // Asks the window manager for its front-most shown window and gives that the focus too: a
    // window manager may still count it active after this program's lock took the focus.
    bool activate() override;

    ProcessExitWatch* exitWatch() const { return m_exitWatch.get(); }
    void setWindows(const x11::ApplicationWindows& windows);
    void markTerminated();

private:
    mutable Identity m_identity;
    std::weak_ptr<x11::X11Connection> m_connection;
    std::unique_ptr<ProcessExitWatch> m_exitWatch;
    x11::ApplicationWindows m_windows;
    // Once set, kept while the process lives without a normal window.
    ActivationPolicy m_policy = ActivationPolicy::Accessory;
    bool m_terminated = false;
};

} // namespace vantrel
