#pragma once

#include <functional>
#include <QLineEdit>

namespace vantrel {

// A password field that reports each time it takes the keyboard focus. Qt draws the text cursor
// in the field's own text colour, so it is always visible against the field.
class FocusAwareSecureTextField : public QLineEdit {
    Q_OBJECT

public:
    using FocusCallback = std::function<void(bool)>;

    explicit FocusAwareSecureTextField(QWidget* parent = nullptr);

    // Called with true each time the field takes the keyboard focus, before the field handles
    // the focus itself. Does nothing until set; an empty callback is the same as none.
    void setOnFocusChange(FocusCallback callback);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    FocusCallback m_onFocusChange = [](bool) {};
};

} // namespace vantrel
