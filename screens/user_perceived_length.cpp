#include "screens/user_perceived_length.h"

#include <QTextBoundaryFinder>

namespace vantrel {

qsizetype userPerceivedLength(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

} // namespace vantrel
