#pragma once

#include <functional>

class QWidget;

namespace vantrel {

// Runs `submit` when Return or Enter is pressed in the window that shows `form`, while the form
// is in view, wherever the focus is: also when no field has it, as after the eye button of a
// password field ended the editing. The shortcuts belong to the form.
void submitOnReturn(QWidget* form, std::function<void()> submit);

} // namespace vantrel
