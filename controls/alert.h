#pragma once

#include <QString>

namespace vantrel {

// A modal warning alert with one "OK" button, run through platform().alerts. Returns once the
// user pressed the button: true when the answer was that (first) button.
bool showAlert(const QString& title, const QString& message);

} // namespace vantrel
