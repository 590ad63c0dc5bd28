#pragma once

#include "screens/app_cell_view.h" // appRowHeight

#include <QColor>
#include <QPalette>
#include <QString>

namespace vantrel {

// The colours of the list screens, taken from the widget's palette so that both follow the
// desktop's light or dark appearance.
struct ListColors {
    bool dark = false;
    QColor window;
    QColor card;
    QColor cardBorder;
    QColor text;
    QColor secondaryText;
    QColor separator;
    QColor field;
    QColor accent;
    QColor accentText;
    QColor hover;
};

ListColors listColors(const QPalette& palette);
QString listStyleSheet(const ListColors& colors);

// Left inset of the hairline between rows: it starts under the name, past the icon.
inline constexpr int rowSeparatorInset = 50;

} // namespace vantrel
