#pragma once

#include "platform/modal_alerts.h"

namespace vantrel {

// Modal alerts as Qt message boxes. The buttons keep their order; the first is the default and
// Escape (or closing the box) answers with the last, the least committal one.
class MessageBoxAlerts final : public ModalAlerts {
public:
    int runModal(const AlertRequest& request) override;
};

} // namespace vantrel
