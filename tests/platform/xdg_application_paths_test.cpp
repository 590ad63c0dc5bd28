#include "platform/freedesktop/xdg_application_paths.h"
#include "tests/platform/xdg_environment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace vantrel;
using vantrel::testing::ScopedEnvironment;

namespace {

class XdgPaths : public ::testing::Test {
protected:
    void SetUp() override {
        m_home = folder(QStringLiteral("home/applications"));
        m_system = folder(QStringLiteral("system/applications"));
        m_environment.set("XDG_DATA_HOME",
                          QFile::encodeName(m_root.filePath(QStringLiteral("home"))));
        m_environment.set("XDG_DATA_DIRS",
                          QFile::encodeName(m_root.filePath(QStringLiteral("system"))));
        m_savedThemePaths = QIcon::themeSearchPaths();
        m_savedTheme = QIcon::themeName();
    }
    void TearDown() override {
        QIcon::setThemeSearchPaths(m_savedThemePaths);
        QIcon::setThemeName(m_savedTheme);
    }

    QString folder(const QString& name) {
        const QString path = m_root.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        return path;
    }
    static QString write(const QString& folder, const QString& name, const QByteArray& bytes) {
        const QString path = QDir(folder).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray application(const QByteArray& icon) {
        return "[Desktop Entry]\nType=Application\nName=X\nIcon=" + icon + "\n";
    }
    QString image(const QString& path, Qt::GlobalColor color) {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(color);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
        EXPECT_TRUE(picture.save(path));
        return path;
    }
    static QColor centre(const QIcon& icon) {
        return icon.pixmap(32, 32).toImage().pixelColor(16, 16);
    }

    QTemporaryDir m_root;
    ScopedEnvironment m_environment;
    QString m_home;
    QString m_system;
    QStringList m_savedThemePaths;
    QString m_savedTheme;
    XdgApplicationPaths m_paths;
};

} // namespace

TEST_F(XdgPaths, PreferredCopyIsTheFirstInFolderOrder) {
    const QString mine = write(m_home, QStringLiteral("calc.desktop"), application("a"));
    write(m_system, QStringLiteral("calc.desktop"), application("b"));
    const QString theirs = write(m_system, QStringLiteral("edit.desktop"), application("c"));
    write(m_home, QStringLiteral("edit.desktop"), "[Desktop Entry]\nType=Link\n");
    write(m_home, QStringLiteral("gone.desktop"), "[Desktop Entry]\nHidden=true\n");
    write(m_system, QStringLiteral("gone.desktop"), application("d"));

    EXPECT_EQ(m_paths.absolutePathForBundleIdentifier(QStringLiteral("calc")), mine);
    EXPECT_EQ(m_paths.absolutePathForBundleIdentifier(QStringLiteral("edit")), theirs);
    EXPECT_EQ(m_paths.absolutePathForBundleIdentifier(QStringLiteral("gone")), std::nullopt);
    EXPECT_EQ(m_paths.absolutePathForBundleIdentifier(QStringLiteral("none")), std::nullopt);
    EXPECT_EQ(m_paths.absolutePathForBundleIdentifier(QStringLiteral("../applications/calc")),
              std::nullopt);

    // Read afresh: a removed copy gives way to the next.
    ASSERT_TRUE(QFile::remove(mine));
    EXPECT_NE(m_paths.absolutePathForBundleIdentifier(QStringLiteral("calc")), mine);
}

TEST_F(XdgPaths, IconsComeFromFilesAndTheTheme) {
    const QString red = image(m_root.filePath(QStringLiteral("pics/red.png")), Qt::red);
    const QString byPath = write(m_home, QStringLiteral("p.desktop"), application(red.toUtf8()));
    EXPECT_EQ(centre(m_paths.iconForFile(byPath)), QColor(Qt::red));

    const QString themes = folder(QStringLiteral("icons"));
    write(folder(QStringLiteral("icons/vantrel-test")), QStringLiteral("index.theme"),
          "[Icon Theme]\nName=Test\nDirectories=32x32/apps\n\n"
          "[32x32/apps]\nSize=32\nType=Fixed\n");
    image(m_root.filePath(QStringLiteral("icons/vantrel-test/32x32/apps/blue-app.png")), Qt::blue);
    QIcon::setThemeSearchPaths({themes});
    QIcon::setThemeName(QStringLiteral("vantrel-test"));
    const QString byName = write(m_home, QStringLiteral("n.desktop"), application("blue-app"));
    EXPECT_EQ(centre(m_paths.iconForFile(byName)), QColor(Qt::blue));
    const QString withExtension =
        write(m_home, QStringLiteral("x.desktop"), application("blue-app.png"));
    EXPECT_EQ(centre(m_paths.iconForFile(withExtension)), QColor(Qt::blue));
}

TEST_F(XdgPaths, AnythingElseGetsTheGenericIcon) {
    QIcon::setThemeSearchPaths({m_root.filePath(QStringLiteral("no-themes"))});
    const QString notImage = write(m_root.path(), QStringLiteral("notes.txt"), "hello");
    const QList<QString> paths{
        write(m_home, QStringLiteral("unknown.desktop"), application("no-such-icon-anywhere")),
        write(m_home, QStringLiteral("none.desktop"), application("")),
        write(m_home, QStringLiteral("text.desktop"), application(notImage.toUtf8())),
        write(m_home, QStringLiteral("missing.desktop"), application("/no/such/file.png")),
        write(m_home, QStringLiteral("broken.desktop"), "garbage"),
        notImage,
        m_root.filePath(QStringLiteral("does-not-exist.desktop")),
        QString(),
    };
    const QIcon generic = m_paths.iconForFile(QString());
    ASSERT_FALSE(generic.isNull());
    for (const QString& path : paths) {
        const QIcon icon = m_paths.iconForFile(path);
        EXPECT_FALSE(icon.isNull()) << path.toStdString();
        EXPECT_EQ(icon.pixmap(32, 32).toImage(), generic.pixmap(32, 32).toImage())
            << path.toStdString();
    }
}
