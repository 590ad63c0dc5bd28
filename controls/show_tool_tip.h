#pragma once

#include "controls/tool_tip_placement.h"

#include <QString>

class QWidget;

namespace vantrel {

// Shows the shared help bubble with `message` next to `anchor`, on `preferredEdge` when there is
// room, without animation. It closes at the next click outside it; showing it for another
// anchor moves it there with the new message.
void showToolTip(QWidget* anchor, const QString& message, RectEdge preferredEdge = RectEdge::MaxX);

} // namespace vantrel
