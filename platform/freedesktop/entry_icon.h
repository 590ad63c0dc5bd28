#pragma once

#include <QIcon>
#include <QString>

namespace vantrel {

// The icon an entry's Icon value names: an absolute image file, or a theme icon (older entries
// add a file extension); none when it names nothing there is.
QIcon iconFromValue(const QString& value);

} // namespace vantrel
