#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

namespace vantrel {

// The artwork of the list screens, drawn in code so that it stays sharp at every scale.

// "red_minus": a row's application is locked; pressing takes it off the list.
QIcon redMinusImage();
// "green_add": a row's application is not locked; pressing locks it.
QIcon greenAddImage();
// A rounded tile with the name's first letter, for applications that have no icon.
QIcon placeholderAppIcon(const QString& name);

// Line glyphs in one colour for the screens' small buttons and fields.
QIcon plusGlyph(const QColor& color);
QIcon backGlyph(const QColor& color);
QIcon refreshGlyph(const QColor& color);
QIcon infoGlyph(const QColor& color);
QIcon searchGlyph(const QColor& color);
// The padlock of the empty list.
QIcon emptyListArt(const QColor& tint);

} // namespace vantrel
