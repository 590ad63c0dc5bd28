#pragma once

#include "platform/main_screen.h"

namespace vantrel {

// The primary screen as Qt's windowing system reports it.
class QtMainScreen final : public MainScreen {
public:
    std::optional<QRectF> frame() const override;
};

} // namespace vantrel
