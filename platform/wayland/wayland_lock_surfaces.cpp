#include "platform/wayland/wayland_lock_surfaces.h"

#include "platform/wayland/seat_input.h"
#include "platform/wayland/widget_layer_surface.h"

#include <algorithm>
#include <QWidget>
#include <QWindow>

namespace vantrel::wayland {

LockSurfaces::LockSurfaces(Connection& connection)
    : m_connection(connection)
    , m_input(std::make_unique<SeatInput>(
          connection, [this](wl_surface* surface) { return surfaceOf(surface); })) {}

LockSurfaces::~LockSurfaces() = default;

void LockSurfaces::present(QWidget* widget, const QColor& fill, bool takesKeyboard, bool placed) {
    if (widget == nullptr)
        return;
    m_surfaces.removeAll(nullptr);
    m_surfaces.append(new WidgetLayerSurface(m_connection, widget, fill, takesKeyboard, placed));
}

bool LockSurfaces::isPresented(const QWindow* window) const {
    return std::any_of(m_surfaces.cbegin(), m_surfaces.cend(), [window](const auto& surface) {
        return surface && surface->widget() != nullptr &&
               surface->widget()->windowHandle() == window;
    });
}

WidgetLayerSurface* LockSurfaces::surfaceOf(wl_surface* surface) const {
    if (surface == nullptr)
        return nullptr;
    for (const QPointer<WidgetLayerSurface>& each : m_surfaces) {
        if (each && each->surface() == surface)
            return each;
    }
    return nullptr;
}

} // namespace vantrel::wayland
