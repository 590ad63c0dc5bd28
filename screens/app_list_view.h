#pragma once

#include <QColor>
#include <QListWidget>

namespace vantrel {

// The table of an application list: rows of one height, each showing a cell widget, hairlines
// between rows, and no selection highlight (a clicked row looks like any other).
class AppListView final : public QListWidget {
    Q_OBJECT

public:
    explicit AppListView(QWidget* parent = nullptr);

    // Drops every row; the cells go with them.
    void clearRows();
    // Adds a row at the end that shows the cell; the view takes the cell.
    void appendRow(QWidget* cell);
    QWidget* cellAt(int row) const;
    void setSeparatorColor(const QColor& color);
};

} // namespace vantrel
