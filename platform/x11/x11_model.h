#pragma once

#include "platform/running_application.h"

#include <optional>
#include <QImage>
#include <QList>
#include <QMap>
#include <QRect>
#include <QRectF>
#include <QString>

// The desktop-independent part of reading an EWMH desktop: what a client window is, which
// process it makes an application, and where its frame stands. No X calls here.
namespace vantrel::x11 {

// The window types of EWMH that matter here; the rest are Other.
enum class WindowKind { Normal, Dialog, Utility, Toolbar, Menu, Splash, Dock, Desktop, Other };

// _NET_WM_WINDOW_TYPE lists types most preferred first: the first known one counts. A window
// without a known type is Normal, or Dialog when it is transient for another window.
WindowKind windowKindFromTypes(const QList<std::optional<WindowKind>>& typesInPreferenceOrder,
                               bool transient);

// What is known of one client window: a managed one, or one that bypasses the window manager.
struct ClientWindow {
    quint32 id = 0;
    std::optional<qint64> processIdentifier; // only when the client runs on this host
    WindowKind kind = WindowKind::Normal;
    bool hidden = false; // _NET_WM_STATE_HIDDEN: minimised
    bool skipTaskbar = false;
    bool unmanaged = false; // override-redirect: no window manager hides or lists it
    // The desktop-file id of the application the window shows, when one is recognised. One
    // process may show several applications (an office suite, a browser's web apps).
    std::optional<QString> applicationId = std::nullopt;
};

// One application of one process.
struct ApplicationKey {
    qint64 processIdentifier = 0;
    std::optional<QString> applicationId = std::nullopt;
    friend bool operator==(const ApplicationKey&, const ApplicationKey&) = default;
    friend bool operator<(const ApplicationKey& a, const ApplicationKey& b) {
        return a.processIdentifier != b.processIdentifier
                   ? a.processIdentifier < b.processIdentifier
                   : a.applicationId < b.applicationId;
    }
};

// The windows of one application, in the order the list of clients gives them.
struct ApplicationWindows {
    QList<quint32> windows;       // every window the application can hide
    QList<quint32> normalWindows; // its normal windows
    QList<quint32> shownWindows;  // the windows not minimised
    QList<quint32> unmanaged;     // windows that bypass the window manager
    bool allHidden() const { return !windows.isEmpty() && shownWindows.isEmpty(); }
    ActivationPolicy policy = ActivationPolicy::Accessory;
};

// Groups the clients by process and application. Docks and desktops belong to no application.
// What a process shows counts as an application when it has a normal window, or when it is
// recognised: then dialogs, utility windows and windows that bypass the window manager count too.
QMap<ApplicationKey, ApplicationWindows>
windowsByApplication(const QList<ClientWindow>& clientsInMappingOrder);

// One screen as Qt lays it out: its geometry in device-independent pixels and its scale.
struct ScreenScale {
    QRect logicalGeometry;
    qreal devicePixelRatio = 1.0;
};

// X gives device pixels; Qt's global coordinates keep each screen's top-left corner and divide
// the rest by the screen's scale. The screen that holds the rectangle's centre is used, the first
// one when none does.
QRectF nativeToLogical(const QRectF& native, const QList<ScreenScale>& screens);

// The pictures of _NET_WM_ICON: width, height, then width x height ARGB pixels, repeated.
// A truncated or absurd entry ends the list.
QList<QImage> imagesFromNetWmIcon(const QList<quint32>& values);

} // namespace vantrel::x11
