#pragma once

#include <chrono>
#include <functional>
#include <QObject>

namespace vantrel {

// Runs an action once on the event loop after a delay, never blocking. The action is dropped when
// the context object is destroyed first.
class DelayedPerform {
public:
    virtual ~DelayedPerform() = default;

    virtual void perform(std::chrono::milliseconds delay, const QObject* context,
                         std::function<void()> action) = 0;
};

} // namespace vantrel
