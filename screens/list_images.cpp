#include "screens/list_images.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Resources of a static library are registered by hand; outside any namespace, as rcc wants.
static void initListImageResources() {
    Q_INIT_RESOURCE(list_images);
}

namespace vantrel {
namespace {

constexpr qreal disabledOpacity = 0.4;

// Renders the vector source for every size asked, so the image is sharp at any pixel ratio.
class VectorImageEngine final : public QIconEngine {
public:
    explicit VectorImageEngine(QString path)
        : m_path(std::move(path)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QSvgRenderer renderer(m_path);
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(painter->opacity() * disabledOpacity);
        renderer.render(painter, QRectF(rect));
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        if (size.isEmpty())
            return pixmap;
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new VectorImageEngine(m_path); }
    QString key() const override { return QStringLiteral("VectorImageEngine"); }

private:
    QString m_path;
};

} // namespace

QIcon listImage(const QString& name) {
    initListImageResources();
    if (name != redMinusImageName && name != greenAddImageName)
        return {};
    const QString path = QStringLiteral(":/images/%1.svg").arg(name);
    if (!QFile::exists(path))
        return {};
    return QIcon(new VectorImageEngine(path));
}

} // namespace vantrel
