#include "screens/app_cell_view.h"
#include "screens/image_view.h"
#include "screens/list_images.h"
#include "screens/table_row_view.h"
#include "screens/tag_button.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace vantrel {
namespace {

// Stands in for a list screen that wires the row buttons.
class Receiver : public QObject {
public:
    void clickedRow(TagButton* sender) { rows.push_back(sender->tag()); }
    std::vector<int> rows;
};

TEST(ListImages, TheTwoButtonImagesAreSharpAtOneAndTwoTimes) {
    for (const QString& name : {redMinusImageName, greenAddImageName}) {
        const QIcon icon = listImage(name);
        ASSERT_FALSE(icon.isNull()) << name.toStdString();
        EXPECT_EQ(icon.pixmap(QSize(20, 20), 1.0).size(), QSize(20, 20));
        const QPixmap twice = icon.pixmap(QSize(20, 20), 2.0);
        EXPECT_EQ(twice.size(), QSize(40, 40));
        EXPECT_DOUBLE_EQ(twice.devicePixelRatio(), 2.0);
    }
    // The middle is the white bar; the edge of the disc carries the colour.
    const QImage minus = listImage(redMinusImageName).pixmap(QSize(40, 40)).toImage();
    EXPECT_EQ(minus.pixelColor(20, 20), QColor(Qt::white));
    const QColor red = minus.pixelColor(20, 6);
    EXPECT_GT(red.red(), 200);
    EXPECT_LT(red.green(), 120);
    const QColor green =
        listImage(greenAddImageName).pixmap(QSize(40, 40)).toImage().pixelColor(8, 8);
    EXPECT_GT(green.green(), 150);
    EXPECT_LT(green.red(), 120);
    EXPECT_TRUE(listImage(QStringLiteral("menu_icon")).isNull());
}

TEST(AppCellView, ShowsIconNameAndButtonAndKeepsTheWholeName) {
    AppCellView cell;
    cell.resize(200, appRowHeight);
    ASSERT_NE(cell.imageApp(), nullptr);
    ASSERT_NE(cell.lblAppName(), nullptr);
    ASSERT_NE(cell.btnAddRemove(), nullptr);
    const QString longName = QStringLiteral("An Application With A Name Far Too Long For The Row");
    cell.lblAppName()->setText(longName);
    cell.imageApp()->setImage(listImage(greenAddImageName));
    cell.show();
    QApplication::processEvents();
    EXPECT_EQ(cell.lblAppName()->text(), longName);
    EXPECT_LE(cell.lblAppName()->geometry().right(), cell.btnAddRemove()->geometry().left());
    EXPECT_LE(cell.btnAddRemove()->geometry().right(), cell.width());
    EXPECT_FALSE(cell.imageApp()->image().isNull());
    cell.grab();
    EXPECT_EQ(cell.lblAppName()->toolTip(), longName);
}

TEST(AppCellView, AReusedCellsButtonCallsOnlyItsNewTargetWithItsNewTag) {
    AppCellView cell;
    Receiver first, second;
    TagButton* button = cell.btnAddRemove();
    button->setTag(3);
    button->setTarget(&first, &Receiver::clickedRow);
    button->click();
    EXPECT_EQ(first.rows, std::vector<int>{3});

    button->setTag(7);
    button->setTarget(&second, &Receiver::clickedRow);
    button->click();
    EXPECT_EQ(first.rows, std::vector<int>{3});
    EXPECT_EQ(second.rows, std::vector<int>{7});
}

TEST(TableRowView, IsFortyHighHoldsItsCellAndLooksTheSameSelected) {
    QWidget list;
    auto* layout = new QVBoxLayout(&list);
    auto* row = new TableRowView;
    auto* cell = new AppCellView;
    cell->lblAppName()->setText(QStringLiteral("Notes"));
    cell->btnAddRemove()->setIcon(listImage(redMinusImageName));
    row->setCellView(cell);
    layout->addWidget(row);
    list.resize(260, 80);
    list.show();
    QApplication::processEvents();
    EXPECT_EQ(row->height(), appRowHeight);
    EXPECT_EQ(cell->geometry(), row->rect());

    const QImage unselected = row->grab().toImage();
    row->setSelected(true);
    EXPECT_EQ(row->grab().toImage(), unselected);
}

TEST(ImageView, APressGoesOnToTheViewBeneath) {
    class Background : public QWidget {
    public:
        int presses = 0;

    protected:
        void mousePressEvent(QMouseEvent*) override { ++presses; }
    } background;
    auto* image = new ImageView(&background);
    image->setGeometry(10, 10, 32, 32);
    background.resize(100, 100);
    background.show();
    EXPECT_TRUE(image->mouseDownCanMoveWindow());

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), image->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(image, &press);
    EXPECT_EQ(background.presses, 1);
}

} // namespace
} // namespace vantrel
