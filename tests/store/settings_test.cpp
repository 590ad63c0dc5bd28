#include "platform/keyed_archive.h"
#include "platform/plist_io.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <memory>
#include <plist/plist.h>
#include <QDateTime>

using namespace vantrel;
using vantrel::testing::InMemoryDefaults;
using vantrel::testing::PlatformDoubles;

namespace {

using Plist = std::unique_ptr<void, void (*)(plist_t)>;

// A keyed archive whose root array holds the given members (already in archive form).
QByteArray archiveWithMembers(const std::function<void(plist_t objects, plist_t members)>& fill) {
    Plist root(plist_new_dict(), &plist_free);
    plist_dict_set_item(root.get(), "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(root.get(), "$version", plist_new_uint(100000));
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(1));
    plist_dict_set_item(root.get(), "$top", top);
    plist_t objects = plist_new_array();
    plist_array_append_item(objects, plist_new_string("$null"));
    plist_t array = plist_new_dict();
    plist_t members = plist_new_array();
    plist_dict_set_item(array, "NS.objects", members);
    plist_array_append_item(objects, array);
    fill(objects, members);
    plist_t cls = plist_new_dict();
    plist_dict_set_item(cls, "$classname", plist_new_string("NSArray"));
    plist_dict_set_item(array, "$class", plist_new_uid(plist_array_get_size(objects)));
    plist_array_append_item(objects, cls);
    plist_dict_set_item(root.get(), "$objects", objects);
    return plistToBinary(root.get());
}

// Refuses exactly one write, the given one (counted from 1), as a briefly full disk would.
class OneRefusedWrite final : public DefaultsDatabase {
public:
    explicit OneRefusedWrite(int refused)
        : m_refused(refused) {}
    QVariant value(const QString& key) const override { return m_inner.value(key); }
    QVariantMap allValues() const override { return m_inner.allValues(); }
    bool setValue(const QString& key, const QVariant& value) override {
        return ++m_writes != m_refused && m_inner.setValue(key, value);
    }
    bool removeValue(const QString& key) override {
        return ++m_writes != m_refused && m_inner.removeValue(key);
    }
    InMemoryDefaults& inner() { return m_inner; }

private:
    InMemoryDefaults m_inner;
    int m_refused;
    int m_writes = 0;
};

class Settings : public ::testing::Test {
protected:
    void store(const QString& key, const QVariant& value) { doubles.defaults.setValue(key, value); }
    PlatformDoubles doubles;
};

const QStringList kOtherFlags{keys::isEnableFullscreenLockMode, keys::isShowRunningAppsOnly,
                              keys::isLaunchAutomaticallyAtMacStartup, keys::isAppstoreRated};

} // namespace

TEST_F(Settings, FreshInstallationReadsTheDefaults) {
    EXPECT_TRUE(isActivateEnabled());
    for (const QString& key : kOtherFlags)
        EXPECT_FALSE(readFlag(key)) << key.toStdString();
    EXPECT_TRUE(savedIdsList().isEmpty());
    EXPECT_TRUE(customAppPathsList().isEmpty());
    EXPECT_EQ(doubles.defaults.writeCount, 0) << "reading must not write";
}

TEST_F(Settings, FlagsCountOnlyWhenStoredAsBooleans) {
    ASSERT_TRUE(writeFlag(keys::isActivateVTR, false));
    EXPECT_FALSE(isActivateEnabled());
    EXPECT_EQ(doubles.defaults.value(keys::isActivateVTR).typeId(), QMetaType::Bool);

    // Texts, numbers and dates are not booleans, whatever they say.
    for (const QVariant& notBoolean : {QVariant(QStringLiteral("false")), QVariant(qint64(0)),
                                       QVariant(0.0), QVariant(QDateTime::currentDateTimeUtc())}) {
        store(keys::isActivateVTR, notBoolean);
        EXPECT_TRUE(isActivateEnabled()) << notBoolean.typeName();
    }
    for (const QVariant& notBoolean : {QVariant(QStringLiteral("true")), QVariant(qint64(1))}) {
        store(keys::isShowRunningAppsOnly, notBoolean);
        EXPECT_FALSE(readFlag(keys::isShowRunningAppsOnly)) << notBoolean.typeName();
    }

    for (const QString& key : kOtherFlags) {
        ASSERT_TRUE(writeFlag(key, true));
        EXPECT_TRUE(readFlag(key)) << key.toStdString();
    }
}

TEST_F(Settings, ListsKeepOrderDuplicatesAndAnyText) {
    const QStringList ids{QStringLiteral("org.gnome.Calculator"),
                          QString(),
                          QStringLiteral("firefox"),
                          QStringLiteral("Ünïcode ✓"),
                          QStringLiteral("firefox"),
                          QStringLiteral("FIREFOX")};
    ASSERT_TRUE(saveSavedIds(ids));
    EXPECT_EQ(savedIdsList(), ids);
    EXPECT_EQ(unarchiveStringList(doubles.defaults.value(keys::savedIds).toByteArray()), ids)
        << "stored as a keyed archive";

    const QStringList paths{QStringLiteral("/usr/share/applications/a.desktop")};
    ASSERT_TRUE(saveCustomAppPaths(paths));
    EXPECT_EQ(customAppPathsList(), paths);
    EXPECT_EQ(savedIdsList(), ids) << "the two lists are apart";

    ASSERT_TRUE(saveSavedIds({}));
    EXPECT_TRUE(savedIdsList().isEmpty());
}

TEST_F(Settings, ListsOfTheWrongFormReadEmptyAndStayStored) {
    const QVariant plainArray(QVariantList{QStringLiteral("a"), QStringLiteral("b")});
    const QByteArray numberInside = archiveWithMembers([](plist_t objects, plist_t members) {
        plist_array_append_item(objects, plist_new_string("a"));
        plist_array_append_item(members, plist_new_uid(2));
        plist_array_append_item(objects, plist_new_uint(7));
        plist_array_append_item(members, plist_new_uid(3));
    });
    const QByteArray stringsInside = archiveWithMembers([](plist_t objects, plist_t members) {
        plist_array_append_item(objects, plist_new_string("a"));
        plist_array_append_item(members, plist_new_uid(2));
    });
    ASSERT_EQ(unarchiveStringList(stringsInside), QStringList{QStringLiteral("a")})
        << "the hand-made archive is sound apart from what each case breaks";

    const QList<QVariant> wrongForms{plainArray,
                                     QVariant(QStringList{QStringLiteral("a")}),
                                     QVariant(QStringLiteral("a")),
                                     QVariant(numberInside),
                                     QVariant(archiveString(QStringLiteral("a"))),
                                     QVariant(QByteArray("not an archive")),
                                     QVariant(QByteArray())};
    for (const QVariant& wrong : wrongForms) {
        store(keys::savedIds, wrong);
        EXPECT_TRUE(savedIdsList().isEmpty()) << wrong.typeName();
        EXPECT_EQ(doubles.defaults.value(keys::savedIds), wrong) << "kept until the next write";
    }
}

TEST_F(Settings, SelectingMovesToTheEndOnce) {
    ASSERT_TRUE(saveSavedIds({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    ASSERT_TRUE(selectSavedId(QStringLiteral("b")));
    EXPECT_EQ(savedIdsList(),
              (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("b")}));
    ASSERT_TRUE(selectSavedId(QStringLiteral("d")));
    EXPECT_EQ(savedIdsList(), (QStringList{QStringLiteral("a"), QStringLiteral("c"),
                                           QStringLiteral("b"), QStringLiteral("d")}));
    // Equality is exact: another case is another application.
    ASSERT_TRUE(selectSavedId(QStringLiteral("A")));
    EXPECT_EQ(savedIdsList().count(QStringLiteral("a")), 1);
    EXPECT_EQ(savedIdsList().last(), QStringLiteral("A"));
}

TEST_F(Settings, RemovingDropsEveryEqualEntry) {
    ASSERT_TRUE(saveSavedIds({QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("x"),
                              QStringLiteral("X"), QStringLiteral("b")}));
    ASSERT_TRUE(removeSavedId(QStringLiteral("x")));
    EXPECT_EQ(savedIdsList(),
              (QStringList{QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("b")}));
    ASSERT_TRUE(removeSavedId(QStringLiteral("absent")));
    EXPECT_EQ(savedIdsList().size(), 3);

    // A damaged list counts as empty; selecting then starts a fresh one.
    store(keys::savedIds, QByteArray("damaged"));
    ASSERT_TRUE(selectSavedId(QStringLiteral("a")));
    EXPECT_EQ(savedIdsList(), QStringList{QStringLiteral("a")});
}

TEST_F(Settings, AddingByHandAppendsOnlyWhatIsMissing) {
    ASSERT_TRUE(saveSavedIds({QStringLiteral("a"), QStringLiteral("b")}));
    ASSERT_TRUE(addSavedIdIfMissing(QStringLiteral("a")));
    ASSERT_TRUE(addSavedIdIfMissing(QStringLiteral("c")));
    EXPECT_EQ(savedIdsList(),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}))
        << "an id already locked keeps its place";

    const QString path = QStringLiteral("/opt/x/x.desktop");
    ASSERT_TRUE(addCustomAppPathIfMissing(path));
    ASSERT_TRUE(addCustomAppPathIfMissing(path));
    ASSERT_TRUE(addCustomAppPathIfMissing(QStringLiteral("/opt/x/X.desktop")));
    EXPECT_EQ(customAppPathsList(), (QStringList{path, QStringLiteral("/opt/x/X.desktop")}));
}

TEST_F(Settings, RefusedWritesAreReportedAndChangeNothing) {
    ASSERT_TRUE(saveSavedIds({QStringLiteral("a"), QStringLiteral("b")}));
    ASSERT_TRUE(writeFlag(keys::isActivateVTR, false));
    const QVariantMap before = doubles.defaults.allValues();
    doubles.defaults.refusesWrites = true;

    EXPECT_FALSE(writeFlag(keys::isActivateVTR, true));
    EXPECT_FALSE(selectSavedId(QStringLiteral("a")));
    EXPECT_FALSE(removeSavedId(QStringLiteral("b")));
    EXPECT_FALSE(addSavedIdIfMissing(QStringLiteral("c")));
    EXPECT_FALSE(addCustomAppPathIfMissing(QStringLiteral("/p")));
    EXPECT_EQ(doubles.defaults.allValues(), before);
    EXPECT_FALSE(isActivateEnabled());
}

TEST_F(Settings, ARefusedWriteNeverLeavesAnIdentifierTwice) {
    for (int refused = 1; refused <= 2; ++refused) {
        OneRefusedWrite flaky(refused);
        platform().defaults = &flaky;
        flaky.inner().setValue(
            keys::savedIds,
            archiveStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        selectSavedId(QStringLiteral("b"));
        const QStringList after = savedIdsList();
        EXPECT_EQ(after.count(QStringLiteral("b")), 1) << after.join(u',').toStdString();
        EXPECT_EQ(after.size(), 3);
        platform().defaults = &doubles.defaults;
    }
}
