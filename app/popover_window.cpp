#include "app/popover_window.h"

#include <QVBoxLayout>

namespace vantrel {

PopoverWindow::PopoverWindow()
    : QWidget(nullptr, Qt::Window) {
    setObjectName(QStringLiteral("popoverWindow"));
    setWindowTitle(QStringLiteral("Vantrel"));
    auto* layout = new QVBoxLayout(this);
    // The screens keep their popover size; the window is not meant to be stretched.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(0, 0, 0, 0);
}

PopoverWindow::~PopoverWindow() {
    // The content is a shared controller that outlives this window.
    setContent(nullptr);
}

void PopoverWindow::setContent(QWidget* content) {
    if (m_content == content && (!content || content->parentWidget() == this))
        return;
    if (m_content && m_content->parentWidget() == this) {
        layout()->removeWidget(m_content);
        m_content->hide();
        m_content->setParent(nullptr);
    }
    m_content = content;
    if (m_content) {
        m_content->setParent(this);
        layout()->addWidget(m_content);
        m_content->show();
    }
}

} // namespace vantrel
