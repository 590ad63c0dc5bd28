#include "controls/focus_aware_secure_text_field.h"

#include <utility>

namespace vantrel {

FocusAwareSecureTextField::FocusAwareSecureTextField(QWidget* parent)
    : QLineEdit(parent) {
    setEchoMode(QLineEdit::Password);
}

void FocusAwareSecureTextField::setOnFocusChange(FocusCallback callback) {
    if (callback) {
        m_onFocusChange = std::move(callback);
    } else {
        m_onFocusChange = [](bool) {};
    }
}

void FocusAwareSecureTextField::focusInEvent(QFocusEvent* event) {
    m_onFocusChange(true);
    QLineEdit::focusInEvent(event);
}

} // namespace vantrel
