#include "controls/shake_animation.h"

#include <cmath>
#include <QWidget>

namespace vantrel {

double shakeOffsetAt(double elapsedSeconds, double count, double duration, double amplitude) {
    if (count <= 0.0 || duration <= 0.0 || elapsedSeconds < 0.0 || elapsedSeconds >= duration)
        return 0.0;
    const double cycle = duration / count;
    const double phase = std::fmod(elapsedSeconds, cycle) / cycle;
    // First half: +amplitude down to -amplitude; second half: the same way back.
    return phase < 0.5 ? amplitude * (1.0 - 4.0 * phase) : amplitude * (4.0 * phase - 3.0);
}

ShakeAnimation::ShakeAnimation(QWidget* view, double count, double duration, double amplitude)
    : QAbstractAnimation(view)
    , m_count(count)
    , m_durationSeconds(duration)
    , m_amplitude(amplitude)
    , m_durationMs(static_cast<int>(std::lround(duration * 1000.0)))
    , m_restPosition(view->pos()) {
    setObjectName(shakeAnimationName);
}

QWidget* ShakeAnimation::view() const {
    return static_cast<QWidget*>(parent());
}

void ShakeAnimation::updateCurrentTime(int currentTime) {
    const double offset =
        shakeOffsetAt(currentTime / 1000.0, m_count, m_durationSeconds, m_amplitude);
    applyOffset(static_cast<int>(std::lround(offset)));
}

void ShakeAnimation::updateState(State newState, State oldState) {
    if (newState == Stopped && oldState != Stopped)
        applyOffset(0);
}

void ShakeAnimation::applyOffset(int offset) {
    QWidget* widget = view();
    if (widget->pos() != m_restPosition + QPoint(m_offset, 0))
        m_restPosition = widget->pos();
    m_offset = offset;
    widget->move(m_restPosition + QPoint(m_offset, 0));
}

} // namespace vantrel
