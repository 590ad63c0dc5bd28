#pragma once

#include "platform/modal_alerts.h"

#include <functional>

class QMessageBox;

namespace vantrel {

// Alerts as message boxes, modal to the window that was active when they opened (to no window
// when none was, or a popup): other windows, the lock window above all, keep their input. The first
// button is the default one (Return), a button titled "Cancel" answers Escape; the answer is
// FirstButtonReturn plus the index of the button pressed.
class MessageBoxAlerts final : public ModalAlerts {
public:
    int runModal(const AlertRequest& request) override;

    // Test hook: the next alert only, once it runs its modal loop, is handed to `answer`, which
    // looks at it and answers it (a click, a key) so that no person is needed.
    void setNextAnswer(std::function<void(QMessageBox&)> answer);

private:
    std::function<void(QMessageBox&)> m_nextAnswer;
};

} // namespace vantrel
