#include "platform/freedesktop/entry_icon.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

using namespace Qt::StringLiterals;

namespace vantrel {

QIcon iconFromValue(const QString& value) {
    if (value.isEmpty())
        return {};
    if (QDir::isAbsolutePath(value)) {
        if (QFileInfo(value).isFile() && QImageReader(value).canRead())
            return QIcon(value);
        return {};
    }
    // Older entries name theme icons with a file extension.
    QString name = value;
    for (const QString& extension : {u".png"_s, u".svg"_s, u".xpm"_s}) {
        if (name.endsWith(extension, Qt::CaseInsensitive)) {
            name.chop(extension.size());
            break;
        }
    }
    if (name.contains(u'/') || !QIcon::hasThemeIcon(name))
        return {};
    return QIcon::fromTheme(name);
}

} // namespace vantrel
