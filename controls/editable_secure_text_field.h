#pragma once

#include <QLineEdit>

namespace vantrel {

// A password field that starts read-only and becomes editable on a double-click: a stored
// password is shown obscured until the user asks to change it.
class EditableSecureTextField : public QLineEdit {
    Q_OBJECT

public:
    explicit EditableSecureTextField(QWidget* parent = nullptr);

    // Editable, on a white background, with all of its text selected and the keyboard focus.
    void beginEditing();
    // Back to read-only on a clear background; the field takes no focus and nothing is selected.
    void endEditing();

    // Whether the user can select the text and give the field the focus.
    bool isSelectable() const { return focusPolicy() != Qt::NoFocus; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setColors(const QColor& background, const QColor& text);
    void setSelectable(bool selectable);
};

} // namespace vantrel
