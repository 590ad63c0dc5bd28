#pragma once

#include <array>
#include <QColor>
#include <QObject>
#include <QPointer>
#include <QScreen>
#include <QSize>
#include <QWidget>

struct wl_buffer;
struct wl_surface;
struct zwlr_layer_surface_v1;

namespace vantrel::wayland {

class Connection;

// One of our widgets shown on a layer-shell overlay surface above every window, while the widget
// counts itself as shown: covering the whole output under it, or, placed, just where the widget's
// geometry says (where the desktop tells where windows are, so the lock can stand over one).
// Qt never shows the widget itself (it stays off screen); what it paints is rendered into
// shared-memory buffers here, centred, the rest filled with its fill colour.
class WidgetLayerSurface final : public QObject {
public:
    WidgetLayerSurface(Connection& connection, QWidget* widget, const QColor& fill,
                       bool takesKeyboard, bool placed);
    ~WidgetLayerSurface() override;

    QWidget* widget() const { return m_widget; }
    wl_surface* surface() const { return m_surface; }
    // Where a point of the surface lies in the widget.
    QPointF toWidget(const QPointF& surfacePoint) const { return surfacePoint - m_offset; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Buffer {
        wl_buffer* buffer = nullptr;
        uchar* data = nullptr;
        size_t bytes = 0;
        QSize size;
        bool busy = false;
    };

    void map();
    void unmap();
    // A placed surface's size and its margins from its output's top left corner.
    void place();
    void scheduleRender();
    void render();
    Buffer* freeBuffer();
    bool allocate(Buffer& buffer);
    void release(Buffer& buffer);

    static void onConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial,
                            uint32_t width, uint32_t height);
    static void onClosed(void* data, zwlr_layer_surface_v1* layer);
    static void onBufferRelease(void* data, wl_buffer* buffer);

    Connection& m_connection;
    QPointer<QWidget> m_widget;
    QColor m_fill;
    bool m_takesKeyboard;
    bool m_placed;
    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layer = nullptr;
    QPointer<QScreen> m_screen; // where it was mapped
    QSize m_size;               // as configured; empty until then
    QPointF m_offset;
    bool m_renderQueued = false;
    bool m_renderWaiting = false; // for a buffer to come back
    std::array<Buffer, 2> m_buffers;
};

} // namespace vantrel::wayland
