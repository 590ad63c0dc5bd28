#include "resources/popover_images.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace, as the resource's registration function is.
static void registerImagesOnce() {
    Q_INIT_RESOURCE(popover_images);
}

namespace {

// Resources in a static library are only registered when something asks for them.
void registerImages() {
    static const bool registered = [] {
        registerImagesOnce();
        return true;
    }();
    Q_UNUSED(registered);
}

QString pathOf(const QString& name) {
    return QStringLiteral(":/vantrel/popover/%1.svg").arg(name);
}

} // namespace

namespace vantrel {

QIcon popoverImage(const QString& name) {
    registerImages();
    const QString path = pathOf(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QPixmap popoverPixmap(const QString& name, int size, qreal devicePixelRatio) {
    registerImages();
    QSvgRenderer renderer(pathOf(name));
    if (!renderer.isValid())
        return {};
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace vantrel
