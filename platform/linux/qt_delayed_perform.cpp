#include "platform/linux/qt_delayed_perform.h"

#include <QTimer>

namespace vantrel {

void QtDelayedPerform::perform(std::chrono::milliseconds delay, const QObject* context,
                               std::function<void()> action) {
    QTimer::singleShot(delay, context, std::move(action));
}

} // namespace vantrel
