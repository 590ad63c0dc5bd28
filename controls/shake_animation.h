#pragma once

#include <QAbstractAnimation>
#include <QPoint>
#include <QString>

class QWidget;

namespace vantrel {

// The horizontal offset of a shake `elapsedSeconds` after it started. Each of the `count` cycles
// lasts duration / count and runs linearly from +amplitude to -amplitude and back again.
double shakeOffsetAt(double elapsedSeconds, double count, double duration, double amplitude);

// The animation behind shake(): a child of the widget it moves, named shakeAnimationName, at most
// one per widget. It moves the widget sideways from its rest position and puts it back when it
// stops, however it stops.
class ShakeAnimation final : public QAbstractAnimation {
    Q_OBJECT

public:
    static inline const QString shakeAnimationName = QStringLiteral("shake");

    ShakeAnimation(QWidget* view, double count, double duration, double amplitude);

    int duration() const override { return m_durationMs; }
    int currentOffset() const { return m_offset; }

protected:
    void updateCurrentTime(int currentTime) override;
    void updateState(State newState, State oldState) override;

private:
    QWidget* view() const;
    // Moves the view to its rest position plus the offset. When something else (its layout) has
    // moved the view since the last step, that place becomes the rest position.
    void applyOffset(int offset);

    double m_count;
    double m_durationSeconds;
    double m_amplitude;
    int m_durationMs;
    QPoint m_restPosition;
    int m_offset = 0;
};

} // namespace vantrel
