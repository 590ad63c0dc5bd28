#include "tools/screenshots/screenshot_palette.h"

#include <QColor>

namespace vantrel::screenshots {

QPalette screenshotPalette(bool dark) {
    QPalette palette;
    const QColor text = dark ? QColor(236, 236, 240) : QColor(29, 29, 31);
    palette.setColor(QPalette::Window, dark ? QColor(40, 40, 42) : QColor(236, 236, 238));
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, dark ? QColor(30, 30, 32) : QColor(255, 255, 255));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, dark ? QColor(58, 58, 60) : QColor(246, 246, 246));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::PlaceholderText,
                     dark ? QColor(150, 150, 156) : QColor(140, 140, 146));
    palette.setColor(QPalette::Highlight, dark ? QColor(10, 132, 255) : QColor(0, 122, 255));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return palette;
}

} // namespace vantrel::screenshots
