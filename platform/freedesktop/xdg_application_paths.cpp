#include "platform/freedesktop/xdg_application_paths.h"

#include "platform/freedesktop/desktop_entry_reader.h"
#include "platform/freedesktop/entry_icon.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

// Drawn rather than loaded, so that a desktop without any icon theme still shows something.
QIcon drawnApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 32, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        const QRectF frame(unit, 2 * unit, 14 * unit, 12 * unit);
        painter.setPen(QPen(QColor(0x55, 0x5a, 0x64), unit));
        painter.setBrush(QColor(0xf4, 0xf5, 0xf7));
        painter.drawRoundedRect(frame, 1.5 * unit, 1.5 * unit);
        painter.fillRect(QRectF(frame.left(), frame.top(), frame.width(), 3 * unit),
                         QColor(0x55, 0x5a, 0x64));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon genericApplicationIcon() {
    static const QString themeName = u"application-x-executable"_s;
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    return drawnApplicationIcon();
}

} // namespace

XdgApplicationPaths::XdgApplicationPaths(std::function<QStringList()> handAddedFiles)
    : m_handAddedFiles(std::move(handAddedFiles)) {}

std::optional<QString>
XdgApplicationPaths::absolutePathForBundleIdentifier(const QString& identifier) const {
    const std::optional<DesktopEntry> entry =
        findDesktopEntry(identifier, applicationFolders(), m_handAddedFiles);
    if (!entry)
        return std::nullopt;
    return entry->path;
}

QIcon XdgApplicationPaths::iconForFile(const QString& path) const {
    const DesktopFileReading reading = readDesktopFile(path);
    if (reading.kind == DesktopFileReading::Kind::Application) {
        const QIcon icon = iconFromValue(reading.entry.icon);
        if (!icon.isNull())
            return icon;
    }
    return genericApplicationIcon();
}

} // namespace vantrel
