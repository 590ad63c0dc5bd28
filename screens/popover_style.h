#pragma once

#include <QColor>
#include <QFont>

class QPalette;

namespace vantrel::style {

// The colours of the popover and the screens inside it, light or dark after the palette's
// window colour, so the popover follows the desktop's theme.
struct PopoverColors {
    bool dark = false;
    QColor card;            // the popover's background
    QColor cardBorder;      // its hairline edge
    QColor text;            // primary text
    QColor secondaryText;   // captions and strap lines
    QColor separator;       // hairlines inside the card
    QColor fieldBackground; // text fields
    QColor fieldBorder;
    QColor accent;        // the default button and the focus ring
    QColor accentPressed; // the default button held down
    QColor accentText;    // text on the accent colour
    QColor hover;         // the background of a toolbar button under the mouse
};

PopoverColors popoverColors(const QPalette& palette);

// The desktop's font at a size in pixels; the popover's metrics are laid out in pixels so that
// it keeps its proportions whatever the desktop's point size.
QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// "#rrggbb" or "rgba(r, g, b, a)" for style sheets.
QString cssColor(const QColor& color);

inline constexpr int popoverCornerRadius = 12;
inline constexpr int controlCornerRadius = 7;

} // namespace vantrel::style
