#include "screens/list_style.h"

namespace vantrel {
namespace {

QColor withAlpha(QColor color, int alpha) {
    color.setAlpha(alpha);
    return color;
}

QString css(const QColor& color) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

} // namespace

ListColors listColors(const QPalette& palette) {
    ListColors colors;
    colors.window = palette.color(QPalette::Window);
    colors.dark = colors.window.lightness() < 128;
    colors.text = palette.color(QPalette::WindowText);
    colors.secondaryText = withAlpha(colors.text, colors.dark ? 140 : 130);
    colors.separator = withAlpha(colors.text, colors.dark ? 30 : 24);
    colors.card = colors.dark ? colors.window.lighter(135) : QColor(255, 255, 255);
    colors.cardBorder = withAlpha(colors.text, colors.dark ? 26 : 20);
    colors.field =
        colors.dark ? withAlpha(QColor(255, 255, 255), 20) : withAlpha(QColor(0, 0, 0), 14);
    colors.accent = colors.dark ? QColor(0x0a, 0x84, 0xff) : QColor(0x00, 0x7a, 0xff);
    colors.accentText = QColor(255, 255, 255);
    colors.hover = withAlpha(colors.text, colors.dark ? 26 : 16);
    return colors;
}

QString listStyleSheet(const ListColors& c) {
    QString sheet = QStringLiteral(R"(
QWidget#listScreen { background: %window; }
QLabel { color: %text; background: transparent; }
QLabel#screenTitle { font-size: 17px; font-weight: 600; }
QLabel#screenSubtitle, QLabel#secondary { color: %secondary; font-size: 12px; }
QLabel#optionLabel { font-size: 13px; }
QLabel#emptyTitle { font-size: 15px; font-weight: 600; }
QLabel#emptyText { color: %secondary; font-size: 12px; }
QLabel#sectionTitle { font-size: 13px; font-weight: 600; }
QFrame#card {
    background: %card;
    border: 1px solid %cardBorder;
    border-radius: 10px;
}
QFrame#hairline { background: %separator; border: none; max-height: 1px; min-height: 1px; }
QListWidget { background: transparent; border: none; outline: none; }
QToolButton#headerButton {
    background: transparent;
    border: none;
    border-radius: 13px;
    min-width: 26px; max-width: 26px; min-height: 26px; max-height: 26px;
}
QToolButton#headerButton:hover { background: %hover; }
QToolButton#headerButton:pressed { background: %separator; }
QToolButton#infoButton { background: transparent; border: none; padding: 0; }
QToolButton#rowButton { background: transparent; border: none; padding: 0; }
QPushButton#primaryButton {
    background: %accent;
    color: %accentText;
    border: none;
    border-radius: 7px;
    padding: 5px 16px;
    font-size: 13px;
    font-weight: 500;
}
QPushButton#primaryButton:hover { background: %accentHover; }
QPushButton#primaryButton:pressed { background: %accentPressed; }
QPushButton#secondaryButton {
    background: %field;
    color: %text;
    border: none;
    border-radius: 7px;
    padding: 4px 14px;
    font-size: 13px;
}
QPushButton#secondaryButton:hover { background: %hover; }
QLineEdit#searchField {
    background: %field;
    color: %text;
    border: 1px solid transparent;
    border-radius: 8px;
    padding: 0 4px;
    min-height: 28px;
    font-size: 13px;
    selection-background-color: %accent;
}
QLineEdit#searchField:focus { border: 1px solid %accentFocus; }
QLabel#selectionCounter {
    background: %field;
    border: 1px solid transparent;
    border-radius: 8px;
    color: %text;
    font-size: 11px;
    padding: 1px 8px;
}
QScrollBar:vertical { background: transparent; width: 8px; margin: 2px; }
QScrollBar::handle:vertical { background: %separatorStrong; border-radius: 2px; min-height: 24px; }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }
)");
    QColor focus = c.accent;
    focus.setAlpha(170);
    QColor strong = c.text;
    strong.setAlpha(70);
    // Longer names first, so that no name is replaced inside another.
    sheet.replace(QStringLiteral("%accentPressed"), css(c.accent.darker(115)));
    sheet.replace(QStringLiteral("%accentHover"), css(c.accent.lighter(110)));
    sheet.replace(QStringLiteral("%accentFocus"), css(focus));
    sheet.replace(QStringLiteral("%accentText"), css(c.accentText));
    sheet.replace(QStringLiteral("%accent"), css(c.accent));
    sheet.replace(QStringLiteral("%separatorStrong"), css(strong));
    sheet.replace(QStringLiteral("%separator"), css(c.separator));
    sheet.replace(QStringLiteral("%secondary"), css(c.secondaryText));
    sheet.replace(QStringLiteral("%cardBorder"), css(c.cardBorder));
    sheet.replace(QStringLiteral("%card"), css(c.card));
    sheet.replace(QStringLiteral("%window"), css(c.window));
    sheet.replace(QStringLiteral("%text"), css(c.text));
    sheet.replace(QStringLiteral("%field"), css(c.field));
    sheet.replace(QStringLiteral("%hover"), css(c.hover));
    return sheet;
}

} // namespace vantrel
