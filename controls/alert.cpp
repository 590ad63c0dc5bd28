#include "controls/alert.h"

#include "platform/modal_alerts.h"
#include "platform/platform.h"

namespace vantrel {

bool showAlert(const QString& title, const QString& message) {
    ModalAlerts* alerts = platform().alerts;
    if (alerts == nullptr)
        return false;
    AlertRequest request;
    request.messageText = title;
    request.informativeText = message;
    request.style = AlertStyle::Warning;
    request.buttonTitles = {QStringLiteral("OK")};
    return alerts->runModal(request) == FirstButtonReturn;
}

} // namespace vantrel
