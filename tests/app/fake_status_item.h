#pragma once

#include "app/status_item.h"

namespace vantrel::testing {

// A status item the tests click.
class FakeStatusItem final : public StatusItem {
public:
    std::optional<QRect> buttonGeometry() const override { return button; }
    void setOnClick(ClickHandler handler) override {
        ++handlerChanges;
        onClick = std::move(handler);
    }

    void click() {
        if (onClick)
            onClick(*this);
    }

    std::optional<QRect> button = QRect(600, 0, 24, 24);
    ClickHandler onClick;
    int handlerChanges = 0;
};

} // namespace vantrel::testing
