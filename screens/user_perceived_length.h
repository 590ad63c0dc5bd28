#pragma once

#include <QString>

namespace vantrel {

// The number of characters as the user sees them (extended grapheme clusters): a letter with
// combining marks or an emoji sequence counts once, whatever its code points.
qsizetype userPerceivedLength(const QString& text);

} // namespace vantrel
