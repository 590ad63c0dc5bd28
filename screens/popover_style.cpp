#include "screens/popover_style.h"

#include <QGuiApplication>
#include <QPalette>

namespace vantrel::style {

PopoverColors popoverColors(const QPalette& palette) {
    PopoverColors colors;
    colors.dark = palette.color(QPalette::Window).lightness() < 128;
    if (colors.dark) {
        colors.card = QColor(0x2a, 0x2a, 0x2d);
        colors.cardBorder = QColor(255, 255, 255, 38);
        colors.text = QColor(0xf2, 0xf2, 0xf5);
        colors.secondaryText = QColor(0x9a, 0x9a, 0xa1);
        colors.separator = QColor(255, 255, 255, 26);
        colors.fieldBackground = QColor(255, 255, 255, 18);
        colors.fieldBorder = QColor(255, 255, 255, 36);
        colors.accent = QColor(0x0a, 0x84, 0xff);
        colors.accentPressed = QColor(0x00, 0x6a, 0xd6);
        colors.hover = QColor(255, 255, 255, 24);
    } else {
        colors.card = QColor(0xf6, 0xf6, 0xf7);
        colors.cardBorder = QColor(0, 0, 0, 46);
        colors.text = QColor(0x1d, 0x1d, 0x1f);
        colors.secondaryText = QColor(0x6e, 0x6e, 0x73);
        colors.separator = QColor(0, 0, 0, 22);
        colors.fieldBackground = QColor(0xff, 0xff, 0xff);
        colors.fieldBorder = QColor(0, 0, 0, 40);
        colors.accent = QColor(0x00, 0x7a, 0xff);
        colors.accentPressed = QColor(0x00, 0x62, 0xcc);
        colors.hover = QColor(0, 0, 0, 18);
    }
    colors.accentText = QColor(0xff, 0xff, 0xff);
    return colors;
}

QFont systemFont(int pixelSize, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QString cssColor(const QColor& color) {
    if (color.alpha() == 255)
        return color.name(QColor::HexRgb);
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

} // namespace vantrel::style
