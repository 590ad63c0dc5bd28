#include "screens/return_submits.h"

#include <QShortcut>
#include <QWidget>

namespace vantrel {

void submitOnReturn(QWidget* form, std::function<void()> submit) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        // Window-wide: a form whose field lost the focus to nothing still answers Return, as the
        // default button of a dialog does.
        auto* shortcut = new QShortcut(QKeySequence(key), form);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        QObject::connect(shortcut, &QShortcut::activated, form, submit);
    }
}

} // namespace vantrel
