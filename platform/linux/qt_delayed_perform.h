#pragma once

#include "platform/delayed_perform.h"

namespace vantrel {

// Single-shot timers of the Qt event loop.
class QtDelayedPerform final : public DelayedPerform {
public:
    void perform(std::chrono::milliseconds delay, const QObject* context,
                 std::function<void()> action) override;
};

} // namespace vantrel
