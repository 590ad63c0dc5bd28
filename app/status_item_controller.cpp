#include "app/status_item_controller.h"

#include "app/tray_status_button.h"

namespace vantrel {

StatusItemController::StatusItemController(const QIcon& image, QObject* parent)
    : StatusItemController(image, std::make_unique<TrayStatusButton>(), parent) {}

StatusItemController::StatusItemController(const QIcon& image,
                                           std::unique_ptr<StatusBarButton> button, QObject* parent)
    : QObject(parent) {
    StatusBarButton* const wired = button.get();
    m_statusItem = std::make_unique<StatusItem>(std::move(button));
    // Wired whether or not a tray shows the button yet, so that a tray that starts later shows
    // the icon and its clicks reach us.
    if (wired) {
        wired->setImage(image);
        connect(wired, &StatusBarButton::clicked, this, &StatusItemController::performClick);
    }
}

StatusItemController::~StatusItemController() = default;

void StatusItemController::performClick() {
    if (onClick)
        onClick(*m_statusItem);
}

} // namespace vantrel
