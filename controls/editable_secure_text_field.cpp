#include "controls/editable_secure_text_field.h"

#include <QApplication>
#include <QMouseEvent>

namespace vantrel {

EditableSecureTextField::EditableSecureTextField(QWidget* parent)
    : QLineEdit(parent) {
    setEchoMode(QLineEdit::Password);
    endEditing();
}

void EditableSecureTextField::beginEditing() {
    setReadOnly(false);
    setColors(Qt::white, Qt::black);
    setSelectable(true);
    setFocus(Qt::MouseFocusReason);
    selectAll();
    update();
}

void EditableSecureTextField::endEditing() {
    setReadOnly(true);
    setColors(Qt::transparent, QApplication::palette(this).color(QPalette::Text));
    setSelectable(false);
    update();
}

void EditableSecureTextField::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt reports the second click of a double-click here; a third click arrives as a press.
    if (isReadOnly()) {
        beginEditing();
        event->accept();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}

void EditableSecureTextField::setColors(const QColor& background, const QColor& text) {
    // The text colour goes with the background, so that a dark theme's light text stays
    // readable on white.
    QPalette colors = palette();
    colors.setColor(QPalette::Base, background);
    colors.setColor(QPalette::Text, text);
    setPalette(colors);
}

void EditableSecureTextField::setSelectable(bool selectable) {
    if (!selectable) {
        deselect();
        if (hasFocus())
            clearFocus();
    }
    setFocusPolicy(selectable ? Qt::StrongFocus : Qt::NoFocus);
}

} // namespace vantrel
