#include "lock/surface_watch.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace vantrel {

SurfaceWatch::SurfaceWatch(QWidget* surface, std::function<QRect()> intended,
                           std::function<void()> react)
    : QObject(surface)
    , m_surface(surface)
    , m_intended(std::move(intended))
    , m_react(std::move(react)) {
    surface->installEventFilter(this);
    surface->winId();
    surface->windowHandle()->installEventFilter(this);
}

bool SurfaceWatch::takeUnmapped() {
    return std::exchange(m_unmapped, false);
}

void SurfaceWatch::schedule() {
    QMetaObject::invokeMethod(this, m_react, Qt::QueuedConnection);
}

bool SurfaceWatch::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        if (watched == m_surface && m_surface->isVisible() && m_surface->geometry() != m_intended())
            schedule();
        break;
    case QEvent::Hide:
        if (watched == m_surface)
            m_exposed = false;
        break;
    case QEvent::Expose:
        if (watched != m_surface->windowHandle())
            break;
        if (m_surface->windowHandle()->isExposed()) {
            m_exposed = true;
        } else if (m_exposed && m_surface->isVisible()) {
            // Unmapped by someone else: the widget still counts itself as shown.
            m_exposed = false;
            m_unmapped = true;
            schedule();
        }
        break;
    default:
        break;
    }
    return false;
}

SurfaceWatch* watchOf(QWidget* surface) {
    // Not a QObject cast: the watch declares no meta-object of its own.
    for (QObject* child : surface->children()) {
        if (auto* watch = dynamic_cast<SurfaceWatch*>(child))
            return watch;
    }
    return nullptr;
}

bool wasUnmapped(QWidget* surface) {
    SurfaceWatch* watch = watchOf(surface);
    return watch != nullptr && watch->takeUnmapped();
}

} // namespace vantrel
