#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace vantrel {

// A named image of the popover ("menu_icon", "vantrel_badge"), drawn from its vector source so it
// stays sharp at any size; the null icon for an unknown name.
QIcon popoverImage(const QString& name);

// The named image at a size in device-independent pixels, for the screen's pixel ratio.
QPixmap popoverPixmap(const QString& name, int size, qreal devicePixelRatio);

} // namespace vantrel
