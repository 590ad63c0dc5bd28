#include "platform/wayland/widget_layer_surface.h"

#include "platform/wayland/wayland_connection.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <algorithm>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace vantrel::wayland {
namespace {

constexpr int bytesPerPixel = 4;

} // namespace

WidgetLayerSurface::WidgetLayerSurface(Connection& connection, QWidget* widget, const QColor& fill,
                                       bool takesKeyboard, bool placed)
    : QObject(widget)
    , m_connection(connection)
    , m_widget(widget)
    , m_fill(fill)
    , m_takesKeyboard(takesKeyboard)
    , m_placed(placed) {
    // Qt would show it as an ordinary window, below the locked application's.
    widget->setAttribute(Qt::WA_DontShowOnScreen, true);
    widget->installEventFilter(this);
    if (widget->isVisible())
        map();
}

WidgetLayerSurface::~WidgetLayerSurface() {
    unmap();
}

bool WidgetLayerSurface::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_widget)
        return false;
    switch (event->type()) {
    case QEvent::Show:
        map();
        break;
    case QEvent::Hide:
        unmap();
        break;
    case QEvent::Move:
        // Moved onto another output: the surface moves with it.
        if (m_surface != nullptr &&
            QGuiApplication::screenAt(m_widget->geometry().center()) != m_screen) {
            unmap();
            map();
        } else if (m_surface != nullptr && m_placed) {
            place();
            wl_surface_commit(m_surface);
            m_connection.flush();
        }
        break;
    case QEvent::Resize:
        if (m_surface != nullptr && m_placed) {
            place();
            wl_surface_commit(m_surface);
            m_connection.flush();
        }
        scheduleRender();
        break;
    case QEvent::UpdateRequest:
        scheduleRender();
        break;
    default:
        break;
    }
    return false;
}

void WidgetLayerSurface::map() {
    if (m_surface != nullptr || !m_widget || !m_connection.offersLockProtocols())
        return;
    static const zwlr_layer_surface_v1_listener listener = {&WidgetLayerSurface::onConfigure,
                                                            &WidgetLayerSurface::onClosed};
    m_screen = QGuiApplication::screenAt(m_widget->geometry().center());
    const Output* output = m_connection.outputOf(m_screen);
    m_surface = wl_compositor_create_surface(m_connection.compositor());
    m_layer = zwlr_layer_shell_v1_get_layer_surface(
        m_connection.layerShell(), m_surface, output != nullptr ? output->output : nullptr,
        ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "vantrel-lock");
    zwlr_layer_surface_v1_add_listener(m_layer, &listener, this);
    if (m_placed && m_screen) {
        place();
    } else {
        zwlr_layer_surface_v1_set_anchor(
            m_layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        zwlr_layer_surface_v1_set_size(m_layer, 0, 0);
    }
    // Over panels too, not beside them.
    zwlr_layer_surface_v1_set_exclusive_zone(m_layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        m_layer, m_takesKeyboard ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                                 : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    wl_surface_commit(m_surface);
    m_connection.flush();
}

void WidgetLayerSurface::place() {
    const QRect geometry = m_widget->geometry();
    const QPoint fromOutput = geometry.topLeft() - m_screen->geometry().topLeft();
    zwlr_layer_surface_v1_set_anchor(m_layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                                  ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT);
    zwlr_layer_surface_v1_set_margin(m_layer, fromOutput.y(), 0, 0, fromOutput.x());
    zwlr_layer_surface_v1_set_size(m_layer, static_cast<uint32_t>(std::max(geometry.width(), 1)),
                                   static_cast<uint32_t>(std::max(geometry.height(), 1)));
}

void WidgetLayerSurface::unmap() {
    for (Buffer& buffer : m_buffers)
        release(buffer);
    if (m_layer != nullptr)
        zwlr_layer_surface_v1_destroy(m_layer);
    if (m_surface != nullptr)
        wl_surface_destroy(m_surface);
    m_layer = nullptr;
    m_surface = nullptr;
    m_size = QSize();
    m_renderWaiting = false;
    m_connection.flush();
}

void WidgetLayerSurface::onConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial,
                                     uint32_t width, uint32_t height) {
    auto* self = static_cast<WidgetLayerSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    QSize size{static_cast<int>(width), static_cast<int>(height)};
    if (size.isEmpty())
        size = self->m_screen ? self->m_screen->size() : self->m_widget->size();
    const bool first = self->m_size.isEmpty();
    self->m_size = size;
    // The first frame goes out at once: until it does, nothing covers the output.
    if (first)
        self->render();
    else
        self->scheduleRender();
}

void WidgetLayerSurface::onClosed(void* data, zwlr_layer_surface_v1*) {
    // The compositor let the surface go (its output went away): another output takes it.
    auto* self = static_cast<WidgetLayerSurface*>(data);
    QMetaObject::invokeMethod(
        self,
        [self] {
            self->unmap();
            if (self->m_widget && self->m_widget->isVisible())
                self->map();
        },
        Qt::QueuedConnection);
}

void WidgetLayerSurface::scheduleRender() {
    if (m_renderQueued || m_surface == nullptr)
        return;
    m_renderQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_renderQueued = false;
            render();
        },
        Qt::QueuedConnection);
}

void WidgetLayerSurface::render() {
    if (m_surface == nullptr || m_size.isEmpty() || !m_widget)
        return;
    Buffer* buffer = freeBuffer();
    if (buffer == nullptr) {
        m_renderWaiting = true;
        return;
    }
    m_renderWaiting = false;
    QImage image(buffer->data, m_size.width(), m_size.height(), m_size.width() * bytesPerPixel,
                 QImage::Format_RGB32);
    image.fill(m_fill);
    const QSize widgetSize = m_widget->size();
    m_offset = QPointF((m_size.width() - widgetSize.width()) / 2,
                       (m_size.height() - widgetSize.height()) / 2);
    {
        QPainter painter(&image);
        m_widget->render(&painter, m_offset.toPoint(), QRegion(),
                         QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    wl_surface_attach(m_surface, buffer->buffer, 0, 0);
    wl_surface_damage(m_surface, 0, 0, m_size.width(), m_size.height());
    wl_surface_commit(m_surface);
    buffer->busy = true;
    m_connection.flush();
}

WidgetLayerSurface::Buffer* WidgetLayerSurface::freeBuffer() {
    for (Buffer& buffer : m_buffers) {
        if (buffer.busy)
            continue;
        if (buffer.size != m_size) {
            release(buffer);
            if (!allocate(buffer))
                return nullptr;
        }
        return &buffer;
    }
    return nullptr;
}

bool WidgetLayerSurface::allocate(Buffer& buffer) {
    static const wl_buffer_listener listener = {&WidgetLayerSurface::onBufferRelease};
    const int stride = m_size.width() * bytesPerPixel;
    const size_t bytes = size_t(stride) * size_t(m_size.height());
    const int fd = memfd_create("vantrel-lock", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    if (ftruncate(fd, off_t(bytes)) < 0) {
        close(fd);
        return false;
    }
    void* data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(m_connection.shm(), fd, int32_t(bytes));
    buffer.buffer = wl_shm_pool_create_buffer(pool, 0, m_size.width(), m_size.height(), stride,
                                              WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    buffer.data = static_cast<uchar*>(data);
    buffer.bytes = bytes;
    buffer.size = m_size;
    buffer.busy = false;
    wl_buffer_add_listener(buffer.buffer, &listener, this);
    return true;
}

void WidgetLayerSurface::release(Buffer& buffer) {
    if (buffer.buffer != nullptr)
        wl_buffer_destroy(buffer.buffer);
    if (buffer.data != nullptr)
        munmap(buffer.data, buffer.bytes);
    buffer = Buffer{};
}

void WidgetLayerSurface::onBufferRelease(void* data, wl_buffer* released) {
    auto* self = static_cast<WidgetLayerSurface*>(data);
    for (Buffer& buffer : self->m_buffers) {
        if (buffer.buffer == released)
            buffer.busy = false;
    }
    if (self->m_renderWaiting)
        self->scheduleRender();
}

} // namespace vantrel::wayland
