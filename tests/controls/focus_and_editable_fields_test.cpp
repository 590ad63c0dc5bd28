#include "controls/editable_secure_text_field.h"
#include "controls/focus_aware_secure_text_field.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <vector>

namespace vantrel {
namespace {

TEST(FocusAwareSecureTextField, ReportsTrueOnceEachTimeItTakesTheFocus) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new FocusAwareSecureTextField;
    auto* other = new QLineEdit;
    layout->addWidget(field);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    std::vector<bool> reports;
    field->setOnFocusChange([&reports](bool focused) { reports.push_back(focused); });

    other->setFocus();
    field->setFocus();
    other->setFocus();
    field->setFocus();

    EXPECT_EQ(reports, (std::vector<bool>{true, true}));
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);

    // An empty callback stands for none.
    field->setOnFocusChange({});
    other->setFocus();
    field->setFocus();
    EXPECT_TRUE(field->hasFocus());
}

class EditableSecureTextFieldTest : public ::testing::Test {
protected:
    EditableSecureTextFieldTest() {
        auto* layout = new QVBoxLayout(&window);
        field = new EditableSecureTextField;
        field->setText(QStringLiteral("stored"));
        layout->addWidget(field);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QWidget window;
    EditableSecureTextField* field;
};

TEST_F(EditableSecureTextFieldTest, StartsReadOnlyAndASingleClickLeavesItSo) {
    EXPECT_TRUE(field->isReadOnly());
    EXPECT_FALSE(field->isSelectable());
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);

    QTest::mouseClick(field, Qt::LeftButton);

    EXPECT_TRUE(field->isReadOnly());
    EXPECT_FALSE(field->hasFocus());
}

TEST_F(EditableSecureTextFieldTest, DoubleClickMakesItEditableWithEverythingSelected) {
    QTest::mouseDClick(field, Qt::LeftButton);

    EXPECT_FALSE(field->isReadOnly());
    EXPECT_TRUE(field->isSelectable());
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->selectionStart(), 0);
    EXPECT_EQ(field->selectionLength(), field->text().size());
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(Qt::white));
    QTest::keyClicks(field, QStringLiteral("new"));
    EXPECT_EQ(field->text(), QStringLiteral("new"));
}

TEST_F(EditableSecureTextFieldTest, FurtherDoubleClicksGoToTheLineEdit) {
    QTest::mouseDClick(field, Qt::LeftButton);
    field->deselect();
    QPalette marked = field->palette();
    marked.setColor(QPalette::Base, Qt::red);
    field->setPalette(marked);

    QTest::mouseDClick(field, Qt::LeftButton);

    // Not begun again: the colour stays as set.
    EXPECT_EQ(field->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_FALSE(field->isReadOnly());
}

TEST_F(EditableSecureTextFieldTest, EndEditingMakesItReadOnlyAndClearAgain) {
    QTest::mouseDClick(field, Qt::LeftButton);
    field->endEditing();

    EXPECT_TRUE(field->isReadOnly());
    EXPECT_FALSE(field->isSelectable());
    EXPECT_FALSE(field->hasFocus());
    EXPECT_FALSE(field->hasSelectedText());
    EXPECT_EQ(field->palette().color(QPalette::Base).alpha(), 0);
}

} // namespace
} // namespace vantrel
