#include "screens/table_row_view.h"

#include "screens/app_cell_view.h"

namespace vantrel {

TableRowView::TableRowView(QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(appRowHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAutoFillBackground(false);
}

void TableRowView::setCellView(QWidget* cell) {
    if (cell == m_cell)
        return;
    delete m_cell;
    m_cell = cell;
    if (cell) {
        cell->setParent(this);
        cell->setGeometry(rect());
        cell->show();
    }
}

void TableRowView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_cell)
        m_cell->setGeometry(rect());
}

} // namespace vantrel
