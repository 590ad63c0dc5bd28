#include "controls/crv_password_button.h"
#include "controls/crv_secure_text_field.h"
#include "controls/eye_glyph.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace vantrel {
namespace {

int directEyeButtons(const CRVSecureTextField& field) {
    // Buttons let go of wait for the event loop to delete them; count only what is left.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(
        field.findChildren<CRVPasswordButton*>(Qt::FindDirectChildrenOnly).size());
}

class SecureTextFieldTest : public ::testing::Test {
protected:
    SecureTextFieldTest() {
        auto* layout = new QVBoxLayout(&window);
        field = new CRVSecureTextField;
        layout->addWidget(field);
        window.resize(300, 60);
        window.show();
    }

    QWidget window;
    CRVSecureTextField* field;
};

TEST_F(SecureTextFieldTest, EyeShowsAndHidesTheSameTextWithPlaceholderAndFont) {
    QFont font = field->font();
    font.setPointSize(17);
    field->setFont(font);
    field->setPlaceholderText(QStringLiteral("Master password"));
    field->setText(QStringLiteral("s3cr\u00e9t pass"));
    ASSERT_NE(field->visibilityButton(), nullptr);
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(field->passwordIsVisible());

    for (bool visible : {true, false, true}) {
        field->visibilityButton()->click();
        EXPECT_EQ(field->passwordIsVisible(), visible);
        EXPECT_EQ(field->visibilityButton()->isChecked(), visible);
        EXPECT_EQ(field->echoMode(), visible ? QLineEdit::Normal : QLineEdit::Password);
        EXPECT_EQ(field->text(), QStringLiteral("s3cr\u00e9t pass"));
        EXPECT_EQ(field->placeholderText(), QStringLiteral("Master password"));
        EXPECT_EQ(field->font().pointSize(), 17);
    }
}

TEST_F(SecureTextFieldTest, ClickingTheEyeWhileTypingEndsTheEditingAndKeepsTheText) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("typed"));
    ASSERT_TRUE(field->hasFocus());

    field->visibilityButton()->click();

    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(field->text(), QStringLiteral("typed"));
    EXPECT_EQ(field->echoMode(), QLineEdit::Normal);
}

TEST_F(SecureTextFieldTest, TextLeavesOneAndAQuarterHeightsToTheEyeButton) {
    for (int height : {24, 40}) {
        field->setFixedHeight(height);
        QCoreApplication::processEvents();
        const QRect button = field->visibilityButton()->geometry();
        EXPECT_EQ(button.size(), QSize(height, height));
        EXPECT_EQ(button.right(), field->width() - 1 - 2) << "2 in from the trailing edge";
        EXPECT_EQ(field->textRect().left() + field->textRect().width(),
                  field->width() - qRound(1.25 * height));
        EXPECT_LT(field->textRect().right(), button.left());
    }
}

TEST_F(SecureTextFieldTest, WithoutShowingAllowedThereIsNoEyeAndTheTextTakesTheWholeWidth) {
    field->visibilityButton()->click();
    field->setAllowShowPassword(false);

    EXPECT_EQ(directEyeButtons(*field), 0);
    EXPECT_EQ(field->visibilityButton(), nullptr);
    EXPECT_FALSE(field->passwordIsVisible());
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);
    EXPECT_GT(field->textRect().right(), field->width() - 10);
    // Asking to show it in the clear is refused while the eye is not allowed.
    field->setPasswordIsVisible(true);
    EXPECT_EQ(field->echoMode(), QLineEdit::Password);

    field->setAllowShowPassword(true);
    EXPECT_EQ(directEyeButtons(*field), 1);
    EXPECT_FALSE(field->visibilityButton()->isChecked());
}

TEST_F(SecureTextFieldTest, WithoutTheToggleButtonAVisiblePasswordIsPlainOverTheWholeWidth) {
    field->setDisplayToggleButton(false);
    field->setPasswordIsVisible(true);

    EXPECT_EQ(directEyeButtons(*field), 0);
    EXPECT_EQ(field->echoMode(), QLineEdit::Normal);
    EXPECT_GT(field->textRect().right(), field->width() - 10);
}

TEST_F(SecureTextFieldTest, EveryMoveHidesThePasswordAndKeepsExactlyOneEyeWithTheHandCursor) {
    QWidget otherWindow;
    auto* otherLayout = new QVBoxLayout(&otherWindow);
    auto* holder = new QWidget;
    otherLayout->addWidget(holder);
    otherWindow.show();
    QWidget* places[] = {&otherWindow, holder, &window, nullptr, holder, &window};

    for (QWidget* place : places) {
        field->visibilityButton()->click();
        ASSERT_TRUE(field->passwordIsVisible());
        field->setText(QStringLiteral("kept"));

        field->setParent(place);
        field->show();

        EXPECT_FALSE(field->passwordIsVisible());
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        EXPECT_EQ(field->text(), QStringLiteral("kept"));
        ASSERT_EQ(directEyeButtons(*field), 1);
        EXPECT_FALSE(field->visibilityButton()->isChecked());
        // The hand over the eye; leaving it gives the pointer back to the field's text cursor.
        EXPECT_EQ(field->visibilityButton()->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(field->cursor().shape(), Qt::IBeamCursor);
    }
    field->setParent(&window);
}

TEST_F(SecureTextFieldTest, MovingAnAncestorIntoAnotherWindowHidesThePasswordToo) {
    auto* box = new QWidget(&window);
    field->setParent(box);
    box->show();
    field->show();
    field->visibilityButton()->click();
    ASSERT_TRUE(field->passwordIsVisible());

    QWidget otherWindow;
    box->setParent(&otherWindow);
    otherWindow.show();
    box->show();

    EXPECT_FALSE(field->passwordIsVisible());
    EXPECT_EQ(directEyeButtons(*field), 1);
}

TEST_F(SecureTextFieldTest, EyeButtonStaysOutOfTheKeyboardFocusAndExplainsItself) {
    CRVPasswordButton* eye = field->visibilityButton();
    EXPECT_EQ(eye->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(eye->toolTip(), QStringLiteral("Toggle password visibility"));
}

QImage renderEye(bool on, bool increaseContrast) {
    CRVPasswordButton::setDisplayShouldIncreaseContrast(increaseContrast);
    CRVPasswordButton eye;
    eye.resize(66, 66);
    eye.setChecked(on);
    QImage image(eye.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    // Only the glyph: the button as a window would paint its background too.
    eye.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    CRVPasswordButton::setDisplayShouldIncreaseContrast(false);
    return image;
}

struct Ink {
    int red = 0;      // pixels of the red glyph
    int shadowed = 0; // pixels darkened by the shadow: no longer on the red-white blend
    int grey = 0;     // pixels of a grey glyph
};

Ink inkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel == Qt::white)
                continue;
            // Red over white keeps the red channel at full strength; black lowers it.
            if (pixel.red() == 255 && pixel.green() < 200)
                ++ink.red;
            if (pixel.red() < 250)
                ++ink.shadowed;
            if (std::abs(pixel.red() - pixel.green()) < 3 &&
                std::abs(pixel.green() - pixel.blue()) < 3)
                ++ink.grey;
        }
    }
    return ink;
}

TEST(PasswordButtonGlyph, OpenEyeIsRedWithAShadowUnlessContrastIsIncreased) {
    const Ink shadowed = inkOf(renderEye(true, false));
    const Ink plain = inkOf(renderEye(true, true));
    EXPECT_GT(shadowed.red, 200);
    EXPECT_GT(shadowed.shadowed, 50);
    EXPECT_GT(plain.red, 200);
    EXPECT_EQ(plain.shadowed, 0);
}

TEST(PasswordButtonGlyph, CrossedEyeIsGreyWithoutShadow) {
    const Ink crossed = inkOf(renderEye(false, false));
    EXPECT_EQ(crossed.red, 0);
    EXPECT_GT(crossed.grey, 200);
}

TEST(EyeGlyph, OpenEyeHasBandIrisAndPupilHole) {
    const QPainterPath eye = eye_glyph::openEye();
    EXPECT_EQ(eye.fillRule(), Qt::WindingFill);
    EXPECT_TRUE(eye.contains(QPointF(16, 5.7))) << "outline band";
    EXPECT_FALSE(eye.contains(QPointF(16, 7.6))) << "between band and iris";
    EXPECT_TRUE(eye.contains(QPointF(16, 10.5))) << "iris";
    EXPECT_FALSE(eye.contains(QPointF(16, 15))) << "pupil";
    EXPECT_FALSE(eye.contains(QPointF(0.5, 15)));
    EXPECT_FALSE(eye.contains(QPointF(16, 26)));
}

TEST(EyeGlyph, CrossedEyeHasNoPupilAndIsCutBesideItsBar) {
    const QPainterPath eye = eye_glyph::crossedEye();
    // The bar runs through the centre; beside it the iris is cut, further out it is whole.
    const QPointF across(0.709, 0.705);
    const QPointF centre(16, 15.3);
    EXPECT_TRUE(eye.contains(centre));
    EXPECT_FALSE(eye.contains(centre + 1.3 * across));
    EXPECT_TRUE(eye.contains(centre + 3.5 * across));
    EXPECT_TRUE(eye.contains(QPointF(25.6, 5.7))) << "the bar's end";
}

TEST(EyeGlyph, DesignSquareIsShiftedDownOneUnitThenScaled) {
    const QTransform toButton = eye_glyph::designToButton(66);
    EXPECT_EQ(toButton.map(QPointF(0, 0)), QPointF(0, 2));
    EXPECT_EQ(toButton.map(QPointF(33, 32)), QPointF(66, 66));
}

} // namespace
} // namespace vantrel
