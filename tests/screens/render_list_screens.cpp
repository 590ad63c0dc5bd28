// Renders the two list screens to PNG files for looking at them: the home screen empty and with
// rows, the add screen with a search and a selection; each in a light and a dark palette.
// Usage: list_screens_screenshots <output folder>
#include "screens/add_app_view_controller.h"
#include "screens/home_view_controller.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"
#include "tools/screenshots/screenshot_palette.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

using namespace vantrel;

namespace {

struct Sample {
    const char* identifier;
    const char* name;
    QColor top;
    QColor bottom;
};

const Sample samples[] = {
    {"org.mozilla.firefox", "Firefox", QColor(255, 149, 0), QColor(229, 57, 53)},
    {"org.gnome.Calendar", "Calendar", QColor(255, 255, 255), QColor(225, 225, 230)},
    {"com.slack.Slack", "Slack", QColor(97, 31, 105), QColor(74, 21, 75)},
    {"org.gnome.Terminal", "Terminal", QColor(70, 70, 75), QColor(30, 30, 32)},
    {"com.spotify.Client", "Spotify", QColor(30, 215, 96), QColor(20, 160, 70)},
    {"org.gnome.Nautilus", "Files", QColor(90, 170, 255), QColor(40, 110, 230)},
    {"org.gnome.Photos", "Photos", QColor(255, 204, 0), QColor(255, 120, 80)},
    {"com.visualstudio.code", "Visual Studio Code", QColor(60, 160, 240), QColor(0, 100, 190)},
    {"org.telegram.desktop", "Telegram", QColor(80, 190, 250), QColor(30, 140, 220)},
    {"org.gnome.Notes", "Notes", QColor(255, 230, 120), QColor(250, 200, 60)},
    {"com.github.Thunderbird", "Thunderbird", QColor(120, 150, 255), QColor(60, 80, 200)},
    {"org.keepassxc.KeePassXC", "KeePassXC", QColor(110, 200, 110), QColor(50, 140, 60)},
};

QIcon sampleIcon(const Sample& sample) {
    QPixmap pixmap(112, 112);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 112);
    fill.setColorAt(0, sample.top);
    fill.setColorAt(1, sample.bottom);
    p.setPen(QPen(QColor(0, 0, 0, 30), 2));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(6, 6, 100, 100), 24, 24);
    QFont font = p.font();
    font.setPixelSize(50);
    font.setBold(true);
    p.setFont(font);
    p.setPen(sample.top.lightness() > 200 ? QColor(220, 60, 60) : QColor(255, 255, 255));
    p.drawText(QRectF(6, 6, 100, 100), Qt::AlignCenter, QString::fromUtf8(sample.name).left(1));
    return QIcon(pixmap);
}

void installSamples(testing::PlatformDoubles& doubles) {
    const QString folder = QStringLiteral("/usr/share/applications");
    doubles.applicationBundles.folderOrder = {folder};
    QStringList entries;
    for (const Sample& sample : samples) {
        const QString identifier = QString::fromUtf8(sample.identifier);
        const QString path = folder + QLatin1Char('/') + identifier + QStringLiteral(".desktop");
        doubles.applicationBundles.addBundle(path, identifier, QString::fromUtf8(sample.name));
        doubles.applicationPaths.paths.insert(identifier, path);
        doubles.applicationPaths.icons.insert(path, sampleIcon(sample));
        entries.append(path);
    }
    // One application without an icon, to show the placeholder.
    const QString bare = folder + QStringLiteral("/org.example.Tasks.desktop");
    doubles.applicationBundles.addBundle(bare, QStringLiteral("org.example.Tasks"),
                                         QStringLiteral("Tasks"));
    doubles.applicationPaths.paths.insert(QStringLiteral("org.example.Tasks"), bare);
    entries.append(bare);
    doubles.applicationBundles.folders.insert(folder, entries);
}

void save(QWidget& screen, const QString& folder, const QString& name) {
    screen.resize(ListScreen::preferredWidth, ListScreen::preferredHeight);
    screen.show();
    QApplication::processEvents();
    const QPixmap picture = screen.grab();
    picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    screen.hide();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    QFont font(QStringLiteral("Nimbus Sans"));
    font.setPixelSize(13);
    QApplication::setFont(font);

    for (const bool dark : {false, true}) {
        QApplication::setPalette(screenshots::screenshotPalette(dark));
        const QString mode = dark ? QStringLiteral("dark") : QStringLiteral("light");
        testing::PlatformDoubles doubles;
        installSamples(doubles);

        HomeViewController home;
        save(home, folder, QStringLiteral("home_empty_") + mode);
        saveSavedIds({QStringLiteral("org.mozilla.firefox"), QStringLiteral("com.slack.Slack"),
                      QStringLiteral("org.gnome.Terminal"), QStringLiteral("org.example.Tasks"),
                      QStringLiteral("org.keepassxc.KeePassXC")});
        writeFlag(keys::isEnableFullscreenLockMode, true);
        save(home, folder, QStringLiteral("home_rows_") + mode);

        AddAppViewController add;
        save(add, folder, QStringLiteral("add_all_") + mode);
        add.show();
        add.searchFIeld()->setText(QStringLiteral("t"));
        add.clickedAddRemoveRowWithSender(1);
        add.hide();
        const QPixmap picture = [&add] {
            add.show();
            QApplication::processEvents();
            return add.grab();
        }();
        picture.save(folder + QStringLiteral("/add_search_") + mode + QStringLiteral(".png"));
        add.searchFIeld()->setText(QStringLiteral("zz"));
        QApplication::processEvents();
        add.grab().save(folder + QStringLiteral("/add_nomatch_") + mode + QStringLiteral(".png"));
    }
    return 0;
}
