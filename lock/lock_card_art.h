#pragma once

#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

class QPainter;

namespace vantrel {

// The locked application's icon at `side` logical pixels with a small padlock badge; a lettered
// tile stands in when the application has no icon.
QPixmap lockedAppIcon(const QIcon& icon, const QString& name, int side, qreal devicePixelRatio);

// The opaque dark backdrop of the lock window and the covers, and its one plain colour for the
// moment before they are painted.
void paintLockBackdrop(QPainter& painter, const QRect& area);
QColor lockBackdropColor();

// The glyphs of the lock card's buttons, drawn so they look the same under every icon theme.
QIcon closeGlyph(const QColor& color);
QIcon arrowGlyph(const QColor& color);

} // namespace vantrel
