#pragma once

#include "platform/desktop_entry.h"
#include "platform/linux/desktop_entry_match.h"
#include "platform/linux/x11_model.h"
#include "platform/workspace.h"

#include <functional>
#include <memory>
#include <optional>
#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWindow>
#include <vector>

namespace vantrel {

namespace x11 {
class X11Connection;
}
class X11RunningApplication;

// The running applications of an EWMH desktop (tested with openbox): one per process of this user
// that owns a managed normal window, plus the bundled programs a provider reports. It follows the
// window manager through Qt's own X connection: property changes of the root (the client list,
// the active window) and of each client (its state) arrive as native events in Qt's event loop.
class X11Workspace final : public Workspace, private QAbstractNativeEventFilter {
    Q_OBJECT

public:
    struct Providers {
        // Running programs that lie in a bundle (ours); they stand for their process.
        std::function<RunningApplicationList()> bundledApplications;
        // Installed desktop entries, most preferred folder first.
        std::function<QList<DesktopEntry>()> desktopEntries;
    };

    X11Workspace(std::shared_ptr<x11::X11Connection> connection, Providers providers,
                 QObject* parent = nullptr);
    ~X11Workspace() override;

    // In the order the applications were first seen.
    RunningApplicationList runningApplications() const override;
    // Asks the window manager to activate the window (it raises and focuses it); a window it does
    // not manage yet is activated as soon as it does. A window that bypasses the window manager
    // takes the focus directly.
    void activateSelf(QWindow* keyWindow) override;
    void fillOnMap(QWindow* window, const QColor& color) override;
    bool grabKeyboard(QWindow* window) override;
    void releaseKeyboard() override;

private:
    struct Client {
        x11::ClientWindow window;
        ApplicationHints hints;
    };
    struct Tracked {
        qint64 pid = 0;
        RunningApplicationRef application;
        std::shared_ptr<X11RunningApplication> ownWindows; // null for a bundled program
    };
    struct WindowRequest {
        QPointer<QWindow> window;
        quint32 id = 0;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void scheduleSettle();
    void settle();

    QList<quint32> readClientList();
    void readClients(const QList<quint32>& windows, bool withHints);
    void refreshClientList();
    void updateApplications(RunningApplicationList* launched, bool* quit);
    void mergeBundled(RunningApplicationList* launched) const;
    std::shared_ptr<X11RunningApplication> makeApplication(qint64 pid,
                                                           const x11::ProcessWindows& windows,
                                                           const QList<DesktopEntry>& entries);
    quint32 readActiveWindow() const;
    // The client that has the keyboard focus now; 0 when it is none of them.
    quint32 readFocusedClient() const;
    // The application of a window that came forward, when that is news.
    RunningApplicationRef takeActivation(quint32 window);
    void noteFocusEvent(const void* event);
    RunningApplicationRef applicationOfWindow(quint32 window) const;
    RunningApplicationRef applicationOfPid(qint64 pid) const;
    void onProcessExited(const X11RunningApplication* application);
    bool dropTerminated();

    // Holds the keys typed from now on in the server until thawKeyboard, so that whoever handles
    // what the desktop just did (a new window, a change of focus) decides where they go.
    void freezeKeyboard();
    void thawKeyboard();
    bool grabKeyboardOn(quint32 window, bool frozen) const;

    void requestActivation(quint32 window);
    quint32 frontMostWindowOfThisProcess() const;

    std::shared_ptr<x11::X11Connection> m_connection;
    Providers m_providers;
    qint64 m_ownPid;

    QHash<quint32, Client> m_clients;
    QList<quint32> m_mappingOrder;
    // First-seen order; changed by the bundled programs' merge even on a const call.
    mutable std::vector<Tracked> m_applications;

    bool m_clientListChanged = false;
    bool m_activeWindowChanged = false;
    bool m_windowsChanged = false;
    bool m_settleScheduled = false;
    QSet<quint32> m_changedClients;

    quint32 m_activeWindow = 0;
    bool m_focusChanged = false;
    bool m_focusEntered = false;
    // The window whose coming forward was reported last; 0 once the focus has left it.
    quint32 m_reportedWindow = 0;
    quint32 m_lastServerTime = 0;

    WindowRequest m_pendingActivation;

    // Our own window every key goes to, when one has asked (see grabKeyboard); 0 otherwise.
    quint32 m_keyboardTarget = 0;
    bool m_keyboardFrozen = false;
    // New windows the window manager has not listed as clients yet.
    QSet<quint32> m_awaitedClients;
    QTimer m_thawDeadline;
};

} // namespace vantrel
