#pragma once

#include "platform/main_screen.h"

namespace vantrel {

// The screens as Qt's windowing system reports them; the primary one is the main screen.
class QtMainScreen final : public MainScreen {
public:
    std::optional<QRectF> frame() const override;
    QList<QRectF> screenFrames() const override;
};

} // namespace vantrel
