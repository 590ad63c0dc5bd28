#pragma once

#include <optional>
#include <QRectF>

namespace vantrel {

class MainScreen {
public:
    virtual ~MainScreen() = default;

    // The main screen's frame; nothing when no screen is attached.
    virtual std::optional<QRectF> frame() const = 0;
};

} // namespace vantrel
