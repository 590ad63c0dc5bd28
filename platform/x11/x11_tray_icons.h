#pragma once

#include "platform/window_list.h"
#include "platform/x11/x11_connection.h"

#include <optional>
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QRect>
#include <QSet>

// The icons applications put in the system tray of the XEmbed protocol: windows of their own that
// the tray (the process owning the selection _NET_SYSTEM_TRAY_S<screen>) takes into one of its
// windows, inside a panel. No root child is theirs, so the window list finds them here.
namespace vantrel::x11 {

// The selection the system tray of a screen owns.
QByteArray traySelectionName(int screenNumber);

// A window of the window list, where the search for icons starts.
struct ListedTopLevel {
    xcb_window_t topLevel = XCB_WINDOW_NONE;
    xcb_window_t client = XCB_WINDOW_NONE; // the window that names the owning process
    std::optional<qint64> owner;
    QRect native; // in root coordinates, device pixels
};

// An icon another process put in the tray.
struct TrayIcon {
    xcb_window_t window = XCB_WINDOW_NONE;
    xcb_window_t topLevel = XCB_WINDOW_NONE; // the tray's root child that holds it
    qint64 owner = 0;
    QRect native; // in root coordinates, cut to what the top level shows
};

// A window of the window list and the root child it stands in.
struct HeldWindow {
    quint64 holder = 0;
    WindowDescription window;
};

// The windows, front-most first, with each held one just in front of its holder, as the X server
// shows a window inside another; one whose holder is not listed is not on screen.
QList<WindowDescription> withHeldWindows(const QList<WindowDescription>& windows,
                                         const QList<HeldWindow>& held);

// Finds the icons, and tells when they may have changed: the X server reports what happens
// inside a window only to whoever selects it on that window, so every window of the tray the
// search passes is followed from then on.
class TrayIcons final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit TrayIcons(const X11Connection& connection, QObject* parent = nullptr);

    // The icons other processes have in the tray, among the windows of the tray's process that
    // are listed; nothing without a tray.
    QList<TrayIcon> find(const QList<ListedTopLevel>& listed);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

Q_SIGNALS:
    // An icon may have come, gone, moved or changed its size; once for a burst of events.
    void changed();

private:
    std::optional<qint64> trayProcess() const;
    void follow(const QList<xcb_window_t>& windows);

    const X11Connection& m_connection;
    xcb_atom_t m_selection = XCB_ATOM_NONE;
    QSet<xcb_window_t> m_followed;
    bool m_changeScheduled = false;
};

} // namespace vantrel::x11
