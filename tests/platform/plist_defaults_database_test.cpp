#include "platform/linux/plist_defaults_database.h"
#include "platform/property_list.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace vantrel;

namespace {

class PlistDefaults : public ::testing::Test {
protected:
    QString path() const {
        return m_dir.filePath(QStringLiteral("sub/dir/com.example.test.plist"));
    }

    static void writeRaw(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(PlistDefaults, MissingFileIsEmptyAndWritesCreateIt) {
    PlistDefaultsDatabase db(path());
    EXPECT_TRUE(db.allValues().isEmpty());
    EXPECT_FALSE(db.value(QStringLiteral("k")).isValid());
    ASSERT_TRUE(db.setValue(QStringLiteral("k"), QStringLiteral("v")));
    ASSERT_TRUE(db.setValue(QStringLiteral("n"), qint64(3)));
    EXPECT_EQ(db.value(QStringLiteral("k")), QVariant(QStringLiteral("v")));
    EXPECT_EQ(PlistDefaultsDatabase(path()).value(QStringLiteral("n")), QVariant(qint64(3)));
}

TEST_F(PlistDefaults, RemovesKeys) {
    PlistDefaultsDatabase db(path());
    ASSERT_TRUE(db.setValue(QStringLiteral("a"), true));
    ASSERT_TRUE(db.setValue(QStringLiteral("b"), true));
    ASSERT_TRUE(db.removeValue(QStringLiteral("a")));
    ASSERT_TRUE(db.setValue(QStringLiteral("b"), QVariant()));
    EXPECT_TRUE(db.allValues().isEmpty());
}

TEST_F(PlistDefaults, SeesAnotherWritersChange) {
    PlistDefaultsDatabase first(path());
    PlistDefaultsDatabase second(path());
    ASSERT_TRUE(first.setValue(QStringLiteral("k"), qint64(1)));
    EXPECT_EQ(second.value(QStringLiteral("k")), QVariant(qint64(1)));
    ASSERT_TRUE(second.setValue(QStringLiteral("k"), qint64(2)));
    EXPECT_EQ(first.value(QStringLiteral("k")), QVariant(qint64(2)));
}

TEST_F(PlistDefaults, FileIsPrivateToTheOwner) {
    PlistDefaultsDatabase db(path());
    ASSERT_TRUE(db.setValue(QStringLiteral("k"), QStringLiteral("secret")));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(PlistDefaults, CorruptFileReadsEmptyAndIsKeptAside) {
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("sub/dir"))));
    const QByteArray garbage("this is not a plist");
    writeRaw(path(), garbage);
    PlistDefaultsDatabase db(path());
    EXPECT_TRUE(db.allValues().isEmpty());
    ASSERT_TRUE(db.setValue(QStringLiteral("k"), true));
    EXPECT_EQ(db.allValues(), (QVariantMap{{QStringLiteral("k"), true}}));
    QFile aside(path() + QStringLiteral(".corrupt"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), garbage);
}

TEST_F(PlistDefaults, NonDictionaryRootCountsAsCorrupt) {
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("sub/dir"))));
    writeRaw(path(), *serializeBinaryPropertyList(QVariantList{1LL}));
    PlistDefaultsDatabase db(path());
    EXPECT_TRUE(db.allValues().isEmpty());
    ASSERT_TRUE(db.setValue(QStringLiteral("k"), true));
    EXPECT_TRUE(QFile::exists(path() + QStringLiteral(".corrupt")));
}

TEST_F(PlistDefaults, FailedWriteLeavesStateUnchanged) {
    PlistDefaultsDatabase db(path());
    ASSERT_TRUE(db.setValue(QStringLiteral("k"), qint64(1)));
    EXPECT_FALSE(db.setValue(QStringLiteral("k"), QVariant(QSize(1, 1))));
    EXPECT_EQ(db.value(QStringLiteral("k")), QVariant(qint64(1)));
}

TEST(PlistDefaultsPath, FollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    EXPECT_EQ(PlistDefaultsDatabase::defaultFilePath(QStringLiteral("com.x")),
              dir.path() + QStringLiteral("/com.x.plist"));
    const QString home = QDir::homePath() + QStringLiteral("/.config/com.x.plist");
    qputenv("XDG_CONFIG_HOME", QByteArray());
    EXPECT_EQ(PlistDefaultsDatabase::defaultFilePath(QStringLiteral("com.x")), home);
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(PlistDefaultsDatabase::defaultFilePath(QStringLiteral("com.x")), home);
    if (wasSet)
        qputenv("XDG_CONFIG_HOME", saved);
}
