// A defaults file written by another program (Python's plistlib, with an archive built the way
// NSKeyedArchiver builds it) reads through the store as the program means it.
#include "platform/linux/plist_defaults_database.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QTemporaryDir>

using namespace vantrel;

TEST(ForeignDefaultsFile, ReadsThroughTheStore) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("com.corvane.vantrel.plist"));
    QProcess python;
    python.start(QString::fromUtf8(VANTREL_PYTHON),
                 {QString::fromUtf8(VANTREL_INTEROP_SCRIPT), QStringLiteral("make-foreign"), path});
    ASSERT_TRUE(python.waitForFinished(60000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();

    vantrel::testing::PlatformDoubles doubles;
    PlistDefaultsDatabase database(path);
    platform().defaults = &database;

    EXPECT_EQ(savedIdsList(),
              (QStringList{QStringLiteral("org.gnome.Calculator"), QStringLiteral("firefox"),
                           QStringLiteral("org.gnome.Calculator"), QStringLiteral("Ünïcode ✓")}));
    EXPECT_EQ(customAppPathsList(), QStringList{QStringLiteral("/opt/Tool/tool.desktop")});
    EXPECT_FALSE(isActivateEnabled());
    EXPECT_TRUE(readFlag(keys::isShowRunningAppsOnly));
    EXPECT_FALSE(readFlag(keys::isEnableFullscreenLockMode)) << "stored as a number";
    EXPECT_FALSE(readFlag(keys::isLaunchAutomaticallyAtMacStartup)) << "stored as a text";
    EXPECT_EQ(readMasterPassword(), QString());

    // A change through the store keeps the other program's keys.
    ASSERT_TRUE(selectSavedId(QStringLiteral("firefox")));
    EXPECT_EQ(savedIdsList().last(), QStringLiteral("firefox"));
    EXPECT_TRUE(database.value(QStringLiteral("promotionState")).isValid());
}
