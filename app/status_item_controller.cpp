#include "app/status_item_controller.h"

#include "app/tray_status_button.h"

namespace vantrel {

StatusItemController::StatusItemController(const QIcon& image, QObject* parent)
    : StatusItemController(image, std::make_unique<TrayStatusButton>(), parent) {}

StatusItemController::StatusItemController(const QIcon& image,
                                           std::unique_ptr<StatusBarButton> button, QObject* parent)
    : QObject(parent)
    , m_button(std::move(button)) {
    // Wired whether or not a tray shows the button yet, so that a tray that starts later shows
    // the icon and its clicks reach us.
    if (m_button) {
        m_button->setImage(image);
        connect(m_button.get(), &StatusBarButton::clicked, this,
                &StatusItemController::performClick);
    }
}

StatusItemController::~StatusItemController() = default;

StatusBarButton* StatusItemController::button() const {
    return m_button && m_button->isAvailable() ? m_button.get() : nullptr;
}

std::optional<QRect> StatusItemController::buttonGeometry() const {
    const StatusBarButton* shown = button();
    if (!shown)
        return std::nullopt;
    // What the tray reports at this moment: possibly a made-up place before the panel took the
    // icon in, which the popover's placement recognises.
    return shown->screenGeometry();
}

void StatusItemController::performClick() {
    if (onClick)
        onClick(*this);
}

} // namespace vantrel
