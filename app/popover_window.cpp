#include "app/popover_window.h"

#include "app/borrowed_content.h"

namespace vantrel {

PopoverWindow::PopoverWindow()
    : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("popoverWindow"));
    setWindowTitle(QStringLiteral("Vantrel"));
    // The screens keep their popover size; the window is not meant to be stretched.
    layOutForBorrowedContent(*this);
}

PopoverWindow::~PopoverWindow() {
    // The content is a shared controller that outlives this window.
    setContent(nullptr);
}

void PopoverWindow::setContent(QWidget* content) {
    showBorrowedContent(*this, m_content, content);
}

} // namespace vantrel
