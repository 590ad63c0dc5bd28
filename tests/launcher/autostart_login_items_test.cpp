#include "platform/freedesktop/autostart_entry.h"
#include "platform/freedesktop/xdg_autostart_login_items.h"

#include <gio/gdesktopappinfo.h>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace vantrel {
namespace {

const QString helperIdentifier = QStringLiteral("com.corvane.vantrelhelper");

// A main bundle in a folder whose name needs every kind of quoting, with a helper that writes
// the path it was started by to $MARKER. No '%': the entry escapes it as %%, as it must, but
// GLib checks the program of Exec before it undoes that escape and then rejects the entry.
class AutostartLoginItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        const QString awkwardFolder =
            root.filePath(QStringLiteral("My Apps \"v2\" $HOME `x` back\\slash it's;&(1)*?#~<>|"));
        mainBundle = awkwardFolder + QStringLiteral("/Vantrel.app");
        helperExecutable = mainBundle + QStringLiteral("/Contents/Library/LoginItems/"
                                                       "VantrelHelper.app/Contents/MacOS/"
                                                       "VantrelHelper");
        ASSERT_TRUE(QDir().mkpath(QFileInfo(helperExecutable).absolutePath()));
        writeFile(mainBundle +
                      QStringLiteral("/Contents/Library/LoginItems/VantrelHelper.app/Contents/"
                                     "Info.plist"),
                  infoPlist(helperIdentifier, QStringLiteral("VantrelHelper")));
        writeFile(helperExecutable, "#!/bin/sh\nprintf '%s' \"$0\" > \"$MARKER\"\n");
        ASSERT_TRUE(QFile::setPermissions(helperExecutable, QFileDevice::ReadOwner |
                                                                QFileDevice::WriteOwner |
                                                                QFileDevice::ExeOwner));
        autostart = root.filePath(QStringLiteral("config/autostart"));
        entry = autostart + QStringLiteral("/com.corvane.vantrelhelper.desktop");
    }

    static QByteArray infoPlist(const QString& identifier, const QString& executable) {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<plist version=\"1.0\"><dict>"
                              "<key>CFBundleIdentifier</key><string>%1</string>"
                              "<key>CFBundleName</key><string>VantrelHelper</string>"
                              "<key>CFBundleExecutable</key><string>%2</string>"
                              "</dict></plist>\n")
            .arg(identifier, executable)
            .toUtf8();
    }

    static void writeFile(const QString& path, const QByteArray& contents) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(contents), contents.size());
    }

    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir root;
    QString mainBundle;
    QString helperExecutable;
    QString autostart;
    QString entry;
};

TEST_F(AutostartLoginItemsTest, EntryStartsTheHelperByItsAbsolutePath) {
    XdgAutostartLoginItems items(mainBundle, autostart);
    ASSERT_TRUE(items.setEnabled(helperIdentifier, true));

    const QString text = QString::fromUtf8(readFile(entry));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nType=Application\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=VantrelHelper\n")));
    // Nothing but the entry: the write went through a temporary file that is gone.
    EXPECT_EQ(QDir(autostart).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("com.corvane.vantrelhelper.desktop")});

    // GLib reads desktop entries as the session's autostart does; let it start the helper.
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(QFile::encodeName(entry));
    ASSERT_NE(info, nullptr) << "GLib rejects the entry:\n" << qPrintable(text);
    const QString marker = root.filePath(QStringLiteral("started-as"));
    qputenv("MARKER", QFile::encodeName(marker));
    GError* error = nullptr;
    const gboolean launched = g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error);
    g_object_unref(info);
    ASSERT_TRUE(launched) << (error ? error->message : "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(marker).size() > 0; }, 5000));
    EXPECT_EQ(QFile::decodeName(readFile(marker)), helperExecutable);
}

TEST_F(AutostartLoginItemsTest, DisablingRemovesTheEntryAndIsIdempotent) {
    XdgAutostartLoginItems items(mainBundle, autostart);
    ASSERT_TRUE(items.setEnabled(helperIdentifier, true));
    ASSERT_TRUE(QFileInfo::exists(entry));

    EXPECT_TRUE(items.setEnabled(helperIdentifier, false));
    EXPECT_FALSE(QFileInfo::exists(entry));
    EXPECT_TRUE(items.setEnabled(helperIdentifier, false));
}

TEST_F(AutostartLoginItemsTest, EnablingReplacesAStaleEntryAndKeepsAGoodOne) {
    ASSERT_TRUE(QDir().mkpath(autostart));
    writeFile(entry, "[Desktop Entry]\nType=Application\nName=old\nExec=/old/path\n");
    XdgAutostartLoginItems items(mainBundle, autostart);

    ASSERT_TRUE(items.setEnabled(helperIdentifier, true));
    const QByteArray written = readFile(entry);
    EXPECT_FALSE(written.contains("/old/path"));

    const QDateTime backdated = QFileInfo(entry).lastModified().addSecs(-100);
    {
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(backdated, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(items.setEnabled(helperIdentifier, true));
    EXPECT_EQ(readFile(entry), written);
    EXPECT_EQ(QFileInfo(entry).lastModified(), backdated) << "rewritten needlessly";
}

TEST_F(AutostartLoginItemsTest, EnablingFailsWithoutAHelperToStart) {
    // Another identifier than the helper's.
    XdgAutostartLoginItems items(mainBundle, autostart);
    EXPECT_FALSE(items.setEnabled(QStringLiteral("com.corvane.other"), true));
    // No main bundle known.
    XdgAutostartLoginItems unbundled(QString(), autostart);
    EXPECT_FALSE(unbundled.setEnabled(helperIdentifier, true));
    // The helper's program is missing.
    ASSERT_TRUE(QFile::remove(helperExecutable));
    EXPECT_FALSE(items.setEnabled(helperIdentifier, true));
    EXPECT_FALSE(QFileInfo::exists(autostart));
}

TEST_F(AutostartLoginItemsTest, ReportsAnEntryItCannotWrite) {
    // The folder's place is taken by a file.
    writeFile(root.filePath(QStringLiteral("config")), "not a folder");
    XdgAutostartLoginItems items(mainBundle, autostart);
    EXPECT_FALSE(items.setEnabled(helperIdentifier, true));
}

TEST_F(AutostartLoginItemsTest, RefusesIdentifiersThatAreNoFileName) {
    XdgAutostartLoginItems items(mainBundle, autostart);
    for (const QString& identifier :
         {QString(), QStringLiteral("../evil"), QStringLiteral(".hidden"), QStringLiteral("a/b"),
          QStringLiteral("a b")}) {
        EXPECT_EQ(items.entryPath(identifier), std::nullopt) << qPrintable(identifier);
        EXPECT_FALSE(items.setEnabled(identifier, false)) << qPrintable(identifier);
    }
    EXPECT_EQ(items.entryPath(helperIdentifier), entry);
}

TEST(AutostartFolder, FollowsAnAbsoluteXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/srv/config");
    EXPECT_EQ(XdgAutostartLoginItems::defaultAutostartFolder(),
              QStringLiteral("/srv/config/autostart"));
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(XdgAutostartLoginItems::defaultAutostartFolder(),
              QDir::homePath() + QStringLiteral("/.config/autostart"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(XdgAutostartLoginItems::defaultAutostartFolder(),
              QDir::homePath() + QStringLiteral("/.config/autostart"));
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST(ExecArgument, QuotesAndEscapesAsDesktopEntriesRequire) {
    EXPECT_EQ(execArgument(QStringLiteral("/opt/Vantrel.app/x")),
              QStringLiteral("/opt/Vantrel.app/x"));
    EXPECT_EQ(execArgument(QStringLiteral("/a b")), QStringLiteral("\"/a b\""));
    EXPECT_EQ(execArgument(QStringLiteral("/100%")), QStringLiteral("/100%%"));
    // Quoting escapes $ and \ with a backslash; the string escape then doubles every backslash.
    EXPECT_EQ(execArgument(QStringLiteral("/$x")), QStringLiteral("\"/\\\\$x\""));
    EXPECT_EQ(execArgument(QStringLiteral("/a\\b")), QStringLiteral("\"/a\\\\\\\\b\""));
    EXPECT_EQ(execArgument(QStringLiteral("/a\nb")), QStringLiteral("\"/a\\nb\""));
}

TEST(AutostartEntryText, RefusesWhatAnEntryCannotCarry) {
    EXPECT_EQ(autostartEntryText(QStringLiteral("X"), QStringLiteral("relative/x")), std::nullopt);
    EXPECT_EQ(autostartEntryText(QStringLiteral("X"), QStringLiteral("/a\x01"
                                                                     "b")),
              std::nullopt);
}

} // namespace
} // namespace vantrel
