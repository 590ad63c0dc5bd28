#include "screens/app_list_view.h"

#include "screens/list_style.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace vantrel {
namespace {

// Paints nothing of the item itself (the cell widget covers it) but a hairline under every row
// except the last, inset past the icon as a grouped list does.
class RowSeparatorDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QColor color;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.row() + 1 >= index.model()->rowCount())
            return;
        painter->save();
        painter->setPen(Qt::NoPen);
        painter->setBrush(color);
        const QRect line(option.rect.left() + rowSeparatorInset, option.rect.bottom(),
                         option.rect.width() - rowSeparatorInset, 1);
        painter->drawRect(line);
        painter->restore();
    }

    // Rows take the view's width; the view lays them out one under the other.
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {0, appRowHeight};
    }
};

} // namespace

AppListView::AppListView(QWidget* parent)
    : QListWidget(parent) {
    setItemDelegate(new RowSeparatorDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setResizeMode(QListView::Adjust);
    viewport()->setAutoFillBackground(false);
}

void AppListView::clearRows() {
    clear();
}

void AppListView::appendRow(QWidget* cell) {
    auto* item = new QListWidgetItem(this);
    item->setSizeHint(QSize(0, appRowHeight));
    item->setFlags(Qt::ItemIsEnabled);
    setItemWidget(item, cell);
}

QWidget* AppListView::cellAt(int row) const {
    QListWidgetItem* found = item(row);
    return found ? itemWidget(found) : nullptr;
}

void AppListView::setSeparatorColor(const QColor& color) {
    static_cast<RowSeparatorDelegate*>(itemDelegate())->color = color;
    viewport()->update();
}

} // namespace vantrel
