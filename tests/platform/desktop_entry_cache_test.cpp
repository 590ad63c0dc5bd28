#include "platform/freedesktop/desktop_entry_cache.h"

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

TEST(DesktopEntryCache, HandAddedEntriesFollowTheListAndTheirFiles) {
    QTemporaryDir root;
    const QString system = root.filePath(QStringLiteral("system"));
    const QString desktop = root.filePath(QStringLiteral("Desktop"));
    ASSERT_TRUE(QDir().mkpath(system));
    ASSERT_TRUE(QDir().mkpath(desktop));
    writeEntry(system, QStringLiteral("calculator"));
    writeEntry(desktop, QStringLiteral("mine"));
    QStringList handAdded;
    int readings = 0;
    DesktopEntryCache cache(
        [&] {
            ++readings;
            return QStringList{system};
        },
        [&] { return handAdded; });

    EXPECT_EQ(ids(cache.entries()), QStringList{QStringLiteral("calculator")});
    handAdded = {QDir(desktop).filePath(QStringLiteral("mine.desktop"))};
    EXPECT_EQ(ids(cache.entries()),
              (QStringList{QStringLiteral("calculator"), QStringLiteral("mine")}));
    const int afterAdding = readings;
    EXPECT_EQ(ids(cache.entries()).size(), 2);
    EXPECT_EQ(readings, afterAdding) << "an unchanged list costs no reading";

    // The file itself edited: its new name is seen.
    {
        QFile file(handAdded.first());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Desktop Entry]\nType=Application\nName=Renamed\n");
    }
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<DesktopEntry> entries = cache.entries();
            return entries.size() == 2 && entries.last().name == QStringLiteral("Renamed");
        },
        5000));

    handAdded.clear();
    EXPECT_EQ(ids(cache.entries()), QStringList{QStringLiteral("calculator")});
}

} // namespace
} // namespace vantrel
