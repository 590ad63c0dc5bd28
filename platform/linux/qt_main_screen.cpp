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

} // namespace vantrel
