#pragma once

#include <functional>
#include <QObject>
#include <QRect>

class QWidget;

namespace vantrel {

// Watches one of our windows for what the desktop or another program does to it behind our back:
// moved or resized away from where it was put, or unmapped while it counts itself as shown. It
// reacts on the event loop, once the event has been handled.
class SurfaceWatch final : public QObject {
public:
    SurfaceWatch(QWidget* surface, std::function<QRect()> intended, std::function<void()> react);

    // Whether someone else unmapped the surface since the last look; clears the mark.
    bool takeUnmapped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();

    QWidget* m_surface;
    std::function<QRect()> m_intended;
    std::function<void()> m_react;
    bool m_exposed = false;
    bool m_unmapped = false;
};

// The watch on a surface, when it has one.
SurfaceWatch* watchOf(QWidget* surface);
// Whether someone else unmapped the surface since the last look; clears the mark.
bool wasUnmapped(QWidget* surface);

} // namespace vantrel
