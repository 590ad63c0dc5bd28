#include "app/borrowed_content.h"

#include <QVBoxLayout>

namespace vantrel {

void layOutForBorrowedContent(QWidget& host) {
    auto* layout = new QVBoxLayout(&host);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(0, 0, 0, 0);
}

void showBorrowedContent(QWidget& host, QPointer<QWidget>& shown, QWidget* content) {
    if (shown == content && (!content || content->parentWidget() == &host))
        return;
    if (shown && shown->parentWidget() == &host) {
        host.layout()->removeWidget(shown);
        shown->hide();
        shown->setParent(nullptr);
    }
    shown = content;
    if (shown) {
        shown->setParent(&host);
        host.layout()->addWidget(shown);
        shown->show();
    }
}

} // namespace vantrel
