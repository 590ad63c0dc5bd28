#pragma once

#include <memory>
#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;
class QWindow;
struct wl_surface;

namespace vantrel::wayland {

class Connection;
class SeatInput;
class WidgetLayerSurface;

// The lock's widgets on layer-shell overlay surfaces, and the seat's input fed back to them.
// Qt 6.4 offers no layer-shell and no public way to its Wayland objects, so this is where Qt
// widgets meet a surface of our own connection; nothing else of Vantrel knows of it.
class LockSurfaces final : public QObject {
public:
    explicit LockSurfaces(Connection& connection);
    ~LockSurfaces() override;

    // From now on the widget is shown on such a surface whenever it is shown: over its whole
    // output, or placed where its geometry says.
    void present(QWidget* widget, const QColor& fill, bool takesKeyboard, bool placed);
    bool isPresented(const QWindow* window) const;

private:
    WidgetLayerSurface* surfaceOf(wl_surface* surface) const;

    Connection& m_connection;
    QList<QPointer<WidgetLayerSurface>> m_surfaces;
    std::unique_ptr<SeatInput> m_input;
};

} // namespace vantrel::wayland
