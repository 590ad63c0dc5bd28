#include "app/status_item.h"

namespace vantrel {

StatusItem::StatusItem(std::unique_ptr<StatusBarButton> button, QObject* parent)
    : QObject(parent)
    , m_button(std::move(button)) {}

StatusItem::~StatusItem() = default;

StatusBarButton* StatusItem::button() const {
    return m_button && m_button->isAvailable() ? m_button.get() : nullptr;
}

} // namespace vantrel
