#include "platform/linux/desktop_entry_cache.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace vantrel {
namespace {

void writeEntry(const QString& folder, const QString& id) {
    QFile file(QDir(folder).filePath(id + QStringLiteral(".desktop")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nType=Application\nName=" + id.toUtf8() + "\n");
}

QStringList ids(const QList<DesktopEntry>& entries) {
    QStringList found;
    for (const DesktopEntry& entry : entries)
        found.append(entry.id);
    found.sort();
    return found;
}

TEST(DesktopEntryCache, ReadsOnceAndAgainOnlyWhenAFolderChanges) {
    QTemporaryDir root;
    const QString user = root.filePath(QStringLiteral("user"));
    const QString system = root.filePath(QStringLiteral("system"));
    ASSERT_TRUE(QDir().mkpath(system));
    writeEntry(system, QStringLiteral("calculator"));
    int readings = 0;
    DesktopEntryCache cache([&] {
        ++readings;
        return QStringList{user, system};
    });

    EXPECT_EQ(ids(cache.entries()), QStringList{QStringLiteral("calculator")});
    EXPECT_EQ(ids(cache.entries()), QStringList{QStringLiteral("calculator")});
    EXPECT_EQ(readings, 1);

    // An application installed, even into a folder that did not exist yet, is seen.
    ASSERT_TRUE(QDir().mkpath(user));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            cache.entries();
            return readings > 1;
        },
        5000));
    writeEntry(user, QStringLiteral("notes"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return ids(cache.entries()) ==
                   QStringList({QStringLiteral("calculator"), QStringLiteral("notes")});
        },
        5000));

    // Removed, it goes.
    ASSERT_TRUE(QFile::remove(QDir(system).filePath(QStringLiteral("calculator.desktop"))));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return ids(cache.entries()) == QStringList{QStringLiteral("notes")}; }, 5000));
}

} // namespace
} // namespace vantrel
