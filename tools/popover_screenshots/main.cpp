// Renders the popover's screens and the preferences window to PNG files, in a light and a dark
// palette, for looking at the design without a desktop:
// vantrel_popover_screenshots <output folder>. Runs on any Qt platform; use
// QT_QPA_PLATFORM=offscreen where there is no display.
#include "app/header_button.h"
#include "app/menu_popover.h"
#include "app/popover_controllers.h"
#include "app/storyboard.h"
#include "app/view_controller.h"
#include "controls/crv_secure_text_field.h"
#include "platform/platform.h"
#include "resources/popover_images.h"
#include "screens/general_preferences_vc.h"
#include "screens/list_controllers.h"
#include "screens/password_view_controller.h"
#include "screens/preferences_controllers.h"
#include "screens/preferences_tab_view_controller.h"
#include "screens/preferences_window_controller.h"
#include "store/master_password.h"
#include "tools/popover_screenshots/screenshot_services.h"
#include "tools/screenshots/screenshot_palette.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QTextStream>

namespace vantrel::screenshots {
namespace {

// The desktop the pictures show: the platform's screen with a top panel, our tray icon near its
// right end.
struct Desktop {
    QRect screen;
    QRect workArea;
    QRect trayIcon;
};

Desktop desktopLayout() {
    const QRect screen = QApplication::primaryScreen()->geometry();
    return {screen, screen.adjusted(0, 28, 0, 0),
            QRect(screen.right() - 96, screen.top() + 3, 22, 22)};
}

QImage backdrop(bool dark) {
    const Desktop desktop = desktopLayout();
    QImage image(desktop.screen.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QLinearGradient wallpaper(0, 0, desktop.screen.width(), desktop.screen.height());
    wallpaper.setColorAt(0, dark ? QColor(0x1f, 0x2a, 0x44) : QColor(0x8f, 0xb4, 0xe8));
    wallpaper.setColorAt(1, dark ? QColor(0x3b, 0x1f, 0x3f) : QColor(0xe8, 0xb8, 0xc8));
    painter.fillRect(image.rect(), wallpaper);
    const QRect panel(0, 0, desktop.screen.width(), desktop.workArea.top());
    painter.fillRect(panel, dark ? QColor(0x1b, 0x1b, 0x1d) : QColor(0xf2, 0xf2, 0xf2));
    painter.setPen(dark ? QColor(0xdd, 0xdd, 0xdd) : QColor(0x22, 0x22, 0x22));
    QFont font = QApplication::font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.drawText(panel.adjusted(0, 0, -12, 0), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Tue 10:41"));
    painter.drawPixmap(desktop.trayIcon.topLeft(),
                       popoverPixmap(QStringLiteral("menu_icon"), desktop.trayIcon.width(), 1.0));
    return image;
}

void save(const QImage& image, const QString& directory, const QString& name) {
    const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
    if (!image.save(path))
        QTextStream(stderr) << "cannot write " << path << '\n';
    else
        QTextStream(stdout) << path << '\n';
}

class Session {
public:
    Session(bool dark, const QString& directory)
        : m_dark(dark)
        , m_directory(directory) {
        QApplication::setPalette(screenshotPalette(dark));
        m_root = storyboard::sharedController<ViewController>(popoverRootIdentifier());
        m_popover.setContent(m_root);
    }

    ~Session() { m_popover.close(); }

    void shoot(const QString& name, const std::function<void(PasswordViewController&)>& typing,
               bool withMenu = false) {
        m_root->showScreen(ViewControllers::password);
        const Desktop desktop = desktopLayout();
        m_popover.placeAgainst(desktop.trayIcon, desktop.screen, desktop.workArea);
        m_popover.show();
        auto* password = storyboard::sharedController<PasswordViewController>(
            QStringLiteral("PasswordViewController"));
        if (typing)
            typing(*password);
        QApplication::processEvents();

        QImage image = backdrop(m_dark);
        QPainter painter(&image);
        painter.drawImage(m_popover.pos(), m_popover.grab().toImage());
        if (withMenu) {
            std::unique_ptr<QMenu> menu(m_root->makeMenu(nullptr));
            const QPoint at = m_root->btnMenu->mapToGlobal(
                QPoint(m_root->btnMenu->width() / 2, m_root->btnMenu->height() / 2));
            menu->popup(at);
            QApplication::processEvents();
            painter.drawImage(menu->pos(), menu->grab().toImage());
            menu->close();
        }
        painter.end();
        save(image, m_directory,
             name + (m_dark ? QStringLiteral("-dark") : QStringLiteral("-light")));
        m_popover.close();
    }

private:
    bool m_dark;
    QString m_directory;
    ViewController* m_root = nullptr;
    MenuPopover m_popover{MenuPopover::Backdrop::translucent};
};

// The preferences window on its own, its password fields partly filled, one of them shown.
void preferencesShot(bool dark, const QString& directory) {
    auto* controller = storyboard::sharedController<PreferencesWindowController>(
        preferencesWindowControllerIdentifier);
    if (!controller)
        return;
    controller->showWindow();
    GeneralPreferencesVC* general = controller->contentViewController()->generalPreferences();
    general->txtFieldOldPassword->setText(QStringLiteral("hunter2"));
    general->txtFieldNewPassword->setText(QStringLiteral("correct horse"));
    general->txtFieldNewPassword->setPasswordIsVisible(true);
    general->txtFieldConfirmPassword->clear();
    QApplication::processEvents();
    save(controller->window()->grab().toImage(), directory,
         QStringLiteral("preferences") +
             (dark ? QStringLiteral("-dark") : QStringLiteral("-light")));
    controller->window()->hide();
}

void menuIconSheet(const QString& directory) {
    // The tray icon on panels of several shades, at the sizes trays use.
    const std::vector<QColor> panels = {QColor(0xff, 0xff, 0xff), QColor(0xd6, 0xd6, 0xd6),
                                        QColor(0x80, 0x80, 0x80), QColor(0x30, 0x30, 0x30),
                                        QColor(0x00, 0x00, 0x00)};
    const std::vector<int> sizes = {16, 22, 24, 32};
    const int rows = static_cast<int>(panels.size());
    QImage sheet(40 * static_cast<int>(sizes.size()) * 2 + 8, 44 * rows, QImage::Format_ARGB32);
    QPainter painter(&sheet);
    for (int row = 0; row < rows; ++row) {
        painter.fillRect(QRect(0, row * 44, sheet.width(), 44),
                         panels[static_cast<std::size_t>(row)]);
        int x = 8;
        for (const int size : sizes) {
            for (const qreal ratio : {1.0, 2.0}) {
                const QPixmap pixmap = popoverPixmap(QStringLiteral("menu_icon"), size, ratio);
                painter.drawPixmap(x, row * 44 + (44 - size) / 2, pixmap);
                x += 40;
            }
        }
    }
    painter.end();
    save(sheet, directory, QStringLiteral("menu-icon"));
}

} // namespace
} // namespace vantrel::screenshots

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QStringList arguments = QApplication::arguments();
    const QString directory = arguments.size() > 1 ? arguments.at(1) : QStringLiteral(".");
    QDir().mkpath(directory);

    using namespace vantrel;
    screenshots::ScreenshotServices services;
    registerPopoverControllers();
    registerListControllers();
    registerPreferencesControllers();

    for (const bool dark : {false, true}) {
        screenshots::Session session(dark, directory);
        writeMasterPassword(QString());
        session.shoot(QStringLiteral("password-setup"), [](PasswordViewController& screen) {
            screen.txtFieldMasterPassword->setText(QStringLiteral("hunter2"));
        });
        session.shoot(QStringLiteral("password-setup-shown"), [](PasswordViewController& screen) {
            screen.txtFieldMasterPassword->setText(QStringLiteral("hunter2"));
            screen.txtFieldMasterPassword->setPasswordIsVisible(true);
        });
        session.shoot(QStringLiteral("popover-menu"), {}, true);
        writeMasterPassword(QStringLiteral("hunter2"));
        session.shoot(QStringLiteral("password-entry"), {});
        session.shoot(QStringLiteral("popover-menu-guarded"), {}, true);
        screenshots::preferencesShot(dark, directory);
    }
    screenshots::menuIconSheet(directory);
    return 0;
}
