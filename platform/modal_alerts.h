#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

enum class AlertStyle { Warning = 0, Informational = 1, Critical = 2 };

// The answer for the n-th button (counting from 0) is FirstButtonReturn + n.
inline constexpr int FirstButtonReturn = 1000;

struct AlertRequest {
    QString messageText;     // the bold headline
    QString informativeText; // the explanation under it
    AlertStyle style = AlertStyle::Warning;
    QStringList buttonTitles; // in order; the first is the default button
};

// A modal alert that returns once the user pressed one of its buttons.
class ModalAlerts {
public:
    virtual ~ModalAlerts() = default;

    virtual int runModal(const AlertRequest& request) = 0;
};

} // namespace vantrel
