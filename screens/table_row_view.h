#pragma once

#include <QWidget>

namespace vantrel {

// The row of both application lists: 40 pixels high, it holds one cell across its whole width
// and draws nothing of its own, least of all a selection highlight, so a selected row looks
// exactly like any other.
class TableRowView : public QWidget {
    Q_OBJECT

public:
    explicit TableRowView(QWidget* parent = nullptr);

    // Takes the cell into the row, deleting the one it held before.
    void setCellView(QWidget* cell);
    QWidget* cellView() const { return m_cell; }

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_cell = nullptr;
    bool m_selected = false;
};

} // namespace vantrel
