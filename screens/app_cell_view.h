#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

namespace vantrel {

class ImageView;
class TagButton;

// The identifier of the application cell in both list tables, and every row's height.
inline const QString appDetailsIdentifier = QStringLiteral("AppDetails");
inline constexpr int appRowHeight = 40;

// One application in a list: its icon, its name (cut short with an ellipsis when it does not
// fit) and the button that adds or removes it. It holds no logic: the screen fills it for a row
// and wires the button (image, tag, target and action) every time it hands the cell out.
class AppCellView : public QWidget {
    Q_OBJECT

public:
    explicit AppCellView(QWidget* parent = nullptr);

    ImageView* imageApp() const { return m_imageApp; }
    QLabel* lblAppName() const { return m_lblAppName; }
    TagButton* btnAddRemove() const { return m_btnAddRemove; }

    QSize sizeHint() const override;

private:
    ImageView* m_imageApp;
    QLabel* m_lblAppName;
    TagButton* m_btnAddRemove;
};

} // namespace vantrel
