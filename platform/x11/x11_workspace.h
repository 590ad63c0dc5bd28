#pragma once

#include "platform/desktop_entry.h"
#include "platform/freedesktop/desktop_entry_match.h"
#include "platform/kwin/kwin_window_marks.h"
#include "platform/process/known_processes.h"
#include "platform/workspace.h"
#include "platform/x11/input_hold.h"
#include "platform/x11/x11_click_shield.h"
#include "platform/x11/x11_input_grabs.h"
#include "platform/x11/x11_map_sentinel.h"
#include "platform/x11/x11_model.h"

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

namespace x11 {
// Longest list of windows read from a property.
inline constexpr quint32 longList = 1u << 16;
} // namespace x11

// The running applications of an EWMH desktop (tested with openbox and xfwm4): one per application
// a process of this user shows (most show one; an office suite or a browser with web apps may show
// several, each window deciding which), plus the bundled programs a provider reports. It follows
// the window manager through Qt's own X connection: property changes of the root (the client list,
// the active window) and of each client (its state) arrive as native events in Qt's event loop.
class X11Workspace final : public Workspace, private QAbstractNativeEventFilter {
    Q_OBJECT

public:
    struct Providers {
        // Running programs that lie in a bundle (ours); they stand for their process.
        std::function<RunningApplicationList()> bundledApplications;
        // Installed desktop entries, most preferred folder first.
        std::function<QList<DesktopEntry>()> desktopEntries;
        // Whether windows of the application are to be locked now.
        std::function<bool(const QString&)> isLocked;
        // The desktop-file ids locked now, for KWin's views (see setWindowMarks).
        std::function<QStringList()> lockedApplicationIds;
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
    // The application a window was recognised as; nothing for a window not known, or not
    // recognised.
    std::optional<QString> applicationIdOfWindow(quint32 window) const;
    bool grabKeyboard(QWindow* window) override;
    void releaseKeyboard() override;
    void shieldApplications(const QList<WindowOwner>& owners) override;
    // Under KWin, whose own views (Overview, Alt+Tab) show windows our covers do not hide: the
    // windows shielded are also kept out of those views.
    void setWindowMarks(std::unique_ptr<kwin::KWinWindowMarks> marks) {
        m_marks = std::move(marks);
    }
    std::optional<WindowOwner> focusedApplication() const override;

private:
    struct Client {
        x11::ClientWindow window;
        ApplicationHints hints;
        quint32 transientFor = 0;
        std::optional<DesktopEntry> entry;
        bool identified = false;
    };
    struct Tracked {
        x11::ApplicationKey key;
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
    // Reads what the workspace follows of each window into clients; windows gone meanwhile are
    // dropped from it.
    void readClients(const QList<quint32>& windows, bool withHints,
                     QHash<quint32, Client>* clients);
    void refreshClientList();
    void noteUnmanagedShown(quint32 window);
    void noteCreated(quint32 window, bool unmanaged);
    bool isTopLevel(quint32 window) const;
    static bool isShownWindowOfOurs(quint32 window);
    // Whether a new window may be a locked application's, as far as can be told before it shows:
    // from what its process shows already, its process's facts and the hints set on it so far.
    bool mayShowLocked(qint64 pid, const ApplicationHints& hints);
    void identify(Client* client, const std::function<const QList<DesktopEntry>&()>& entries);
    void updateApplications(RunningApplicationList* launched, bool* quit);
    void mergeBundled(RunningApplicationList* launched) const;
    std::shared_ptr<X11RunningApplication> makeApplication(const x11::ApplicationKey& key,
                                                           const x11::ApplicationWindows& windows);
    bool ownsWindow(const x11::ApplicationKey& key, quint32 window) const;
    quint32 readActiveWindow() const;
    // The client that has the keyboard focus now; 0 when it is none of them.
    quint32 readFocusedClient() const;
    // The application of a window that came forward, when that is news.
    RunningApplicationRef takeActivation(quint32 window);
    void noteFocusEvent(const void* event);
    RunningApplicationRef applicationOfWindow(quint32 window) const;
    RunningApplicationRef applicationOf(const x11::ApplicationKey& key) const;
    RunningApplicationRef bundledApplicationOfPid(qint64 pid) const;
    void onProcessExited(const X11RunningApplication* application);
    bool dropTerminated();

    // Holds the keys typed and clicks made from now on in the server until thawInput, so that
    // whoever handles what the desktop just did (a new window, a change of focus) decides where
    // they go.
    void freezeInput();
    // Holds input until the window is a client, or one of ours is back on screen (or the
    // deadline).
    void holdInputUntilShown(quint32 window);
    bool isLockedClient(quint32 window) const;
    void thawInput();
    // Has the sentinel watch the locked applications' windows as they stand now.
    void watchLockedWindows();
    // Shields the windows of the applications asked for, and new windows that may be theirs.
    void applyShields();
    // Clears the held flag once the watchdog's deadline has let the input go.
    void followWatchdog();
    kwin::WindowMarkRules markRules() const;

    void requestActivation(quint32 window);
    quint32 frontMostWindowOfThisProcess() const;

    std::shared_ptr<x11::X11Connection> m_connection;
    Providers m_providers;
    qint64 m_ownPid;

    QHash<quint32, Client> m_clients;
    QList<quint32> m_mappingOrder;
    // Shown windows that bypass the window manager, in the order they were shown.
    QHash<quint32, Client> m_unmanaged;
    QList<quint32> m_unmanagedOrder;
    QList<quint32> m_unmanagedShown; // read at the next settling
    bool m_unmanagedChanged = false;
    // The window manager's frames, which are never clients.
    // Frame -> the client it holds.
    QHash<quint32, quint32> m_frames;
    KnownProcesses m_processes;
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

    x11::X11InputGrabs m_grabs;
    // Its keyboard target is our own window every key goes to, when one has asked (see
    // grabKeyboard).
    InputHold m_hold;
    x11::X11MapSentinel m_sentinel{m_hold};
    x11::X11ClickShield m_shield{*m_connection};
    QList<WindowOwner> m_shieldedOwners;
    std::unique_ptr<kwin::KWinWindowMarks> m_marks;
    // New windows shielded as they were created, until the lock has had its say on them.
    QSet<quint32> m_shieldedAtCreation;
    // New windows the window manager has not listed as clients yet.
    QSet<quint32> m_awaitedClients;
    mutable bool m_bundledMergeDue = false;
    // What the applications' window filters hold on to: they outlive no workspace.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

} // namespace vantrel
