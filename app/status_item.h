#pragma once

#include <functional>
#include <optional>
#include <QRect>

namespace vantrel {

// The program's icon in the desktop's tray: what the application delegate needs of it.
class StatusItem {
public:
    using ClickHandler = std::function<void(StatusItem& item)>;

    virtual ~StatusItem() = default;

    // The icon's area on screen, in global coordinates, which the popover hangs from. Nothing
    // when the item has no button to show (no tray, or the tray would not take the icon).
    virtual std::optional<QRect> buttonGeometry() const = 0;

    // What a click on the icon runs; an empty handler makes clicks do nothing.
    virtual void setOnClick(ClickHandler handler) = 0;
};

// A status item that never got a button: clicks never come and the popover is never shown.
class StatusItemWithoutButton final : public StatusItem {
public:
    std::optional<QRect> buttonGeometry() const override { return std::nullopt; }
    void setOnClick(ClickHandler handler) override { m_onClick = std::move(handler); }

private:
    ClickHandler m_onClick;
};

} // namespace vantrel
