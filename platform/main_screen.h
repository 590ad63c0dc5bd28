#pragma once

#include <optional>
#include <QList>
#include <QRectF>

namespace vantrel {

class MainScreen {
public:
    virtual ~MainScreen() = default;

    // The main screen's frame in global coordinates (origin the top left of the virtual desktop);
    // nothing when no screen is attached.
    virtual std::optional<QRectF> frame() const = 0;
    // Every attached screen's frame in the same coordinates, the main one first.
    virtual QList<QRectF> screenFrames() const = 0;
};

} // namespace vantrel
