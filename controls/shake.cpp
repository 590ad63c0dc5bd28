#include "controls/shake.h"

#include "controls/shake_animation.h"

#include <QWidget>

namespace vantrel {

void shake(QWidget* view, float count, double duration, float amplitude) {
    if (view == nullptr)
        return;
    // One shake per widget: a running one is stopped (which puts the widget back) and dropped.
    if (auto* running = view->findChild<ShakeAnimation*>(ShakeAnimation::shakeAnimationName,
                                                         Qt::FindDirectChildrenOnly)) {
        running->stop();
        delete running;
    }
    auto* animation = new ShakeAnimation(view, count, duration, amplitude);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace vantrel
