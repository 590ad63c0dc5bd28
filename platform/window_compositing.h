#pragma once

namespace vantrel {

// Whether the desktop blends translucent windows with what lies behind them. Without it the
// transparent pixels of a window show black, so rounded windows fall back to a shape mask.
bool desktopCompositesWindows();

} // namespace vantrel
