#include "platform/linux/qt_main_screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace vantrel {

std::optional<QRectF> QtMainScreen::frame() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return std::nullopt;
    }
    return QRectF(screen->geometry());
}

QList<QRectF> QtMainScreen::screenFrames() const {
    QList<QRectF> frames;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr)
        frames.append(QRectF(primary->geometry()));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != primary)
            frames.append(QRectF(screen->geometry()));
    }
    return frames;
}

} // namespace vantrel
