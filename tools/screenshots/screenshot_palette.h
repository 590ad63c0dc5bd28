#pragma once

#include <QPalette>

namespace vantrel::screenshots {

// The light or dark appearance the picture tools render in, the same for all of them, so that
// pictures of different screens can be laid side by side.
QPalette screenshotPalette(bool dark);

} // namespace vantrel::screenshots
