#include "platform/keyed_archive.h"
#include "store/master_password.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"
#include "tools/vantrel-defaults/defaults_tool.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QTimeZone>

using namespace vantrel;
using vantrel::testing::PlatformDoubles;

namespace {

struct Outcome {
    int status;
    QString out;
    QString err;
};

class DefaultsTool : public ::testing::Test {
protected:
    Outcome run(const QStringList& arguments) {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status = runDefaultsTool(arguments, QStringLiteral("/home/u/.config/x.plist"),
                                           outStream, errStream);
        return {status, out, err};
    }
    QVariant stored(const QString& key) const { return doubles.defaults.value(key); }

    PlatformDoubles doubles;
};

const QString kRead = QStringLiteral("read");
const QString kWrite = QStringLiteral("write");
const QString kDelete = QStringLiteral("delete");

} // namespace

TEST_F(DefaultsTool, WritesEachTypeAsTheProgramReadsIt) {
    EXPECT_EQ(
        run({kWrite, keys::isActivateVTR, QStringLiteral("-bool"), QStringLiteral("false")}).status,
        0);
    EXPECT_EQ(stored(keys::isActivateVTR), QVariant(false));
    EXPECT_FALSE(isActivateEnabled());
    EXPECT_EQ(
        run({kWrite, keys::isShowRunningAppsOnly, QStringLiteral("-bool"), QStringLiteral("YES")})
            .status,
        0);
    EXPECT_TRUE(readFlag(keys::isShowRunningAppsOnly));

    const QStringList ids{QStringLiteral("org.gnome.Calculator"), QStringLiteral("-dash"),
                          QString(), QStringLiteral("ünï")};
    EXPECT_EQ(run(QStringList{kWrite, keys::savedIds, QStringLiteral("-array")} + ids).status, 0);
    EXPECT_EQ(savedIdsList(), ids);
    EXPECT_EQ(run({kWrite, keys::customAppPaths, QStringLiteral("-array")}).status, 0);
    EXPECT_EQ(stored(keys::customAppPaths).typeId(), QMetaType::QByteArray);
    EXPECT_TRUE(customAppPathsList().isEmpty());

    const Outcome text =
        run({kWrite, QStringLiteral("note"), QStringLiteral("-string"), QStringLiteral("-bool")});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(stored(QStringLiteral("note")), QVariant(QStringLiteral("-bool")));
    EXPECT_TRUE(text.out.isEmpty());
    EXPECT_TRUE(text.err.isEmpty());
}

TEST_F(DefaultsTool, ReadsOneValueForScripts) {
    saveSavedIds({QStringLiteral("a"), QStringLiteral("b c")});
    writeFlag(keys::isActivateVTR, true);
    doubles.defaults.setValue(QStringLiteral("note"), QStringLiteral("two\nlines"));
    doubles.defaults.setValue(QStringLiteral("count"), qint64(-3));

    EXPECT_EQ(run({kRead, keys::savedIds}).out, QStringLiteral("a\nb c\n"));
    EXPECT_EQ(run({kRead, keys::isActivateVTR}).out, QStringLiteral("true\n"));
    EXPECT_EQ(run({kRead, QStringLiteral("note")}).out, QStringLiteral("two\nlines\n"));
    EXPECT_EQ(run({kRead, QStringLiteral("count")}).out, QStringLiteral("-3\n"));

    saveSavedIds({});
    const Outcome empty = run({kRead, keys::savedIds});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, QString()) << "an empty list prints no line";

    const Outcome missing = run({kRead, keys::customAppPaths});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains(keys::customAppPaths));
}

TEST_F(DefaultsTool, ListsEveryKeyReadably) {
    saveSavedIds({QStringLiteral("a"), QStringLiteral("say \"hi\"\x1b[2J")});
    writeFlag(keys::isEnableFullscreenLockMode, false);
    doubles.defaults.setValue(QStringLiteral("plain list"),
                              QVariantList{qint64(1), QStringLiteral("x")});
    doubles.defaults.setValue(QStringLiteral("data"), QByteArray("\x01\xff", 2));
    doubles.defaults.setValue(QStringLiteral("when"),
                              QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), QTimeZone::utc()));

    const Outcome listing = run({kRead});
    EXPECT_EQ(listing.status, 0);
    EXPECT_EQ(listing.out, QStringLiteral("{\n"
                                          "    data = <01ff>;\n"
                                          "    isEnableFullscreenLockMode = false;\n"
                                          "    \"plain list\" = (\n"
                                          "        1,\n"
                                          "        \"x\"\n"
                                          "    );\n"
                                          "    savedIds = (\n"
                                          "        \"a\",\n"
                                          "        \"say \\\"hi\\\"\\U001b[2J\"\n"
                                          "    );\n"
                                          "    when = 2024-05-06T07:08:09Z;\n"
                                          "}\n"));

    doubles.defaults.setValue(QStringLiteral("data"), QVariant());
    doubles.defaults.setValue(QStringLiteral("plain list"), QVariant());
    doubles.defaults.setValue(QStringLiteral("when"), QVariant());
    doubles.defaults.setValue(keys::savedIds, QVariant());
    doubles.defaults.setValue(keys::isEnableFullscreenLockMode, QVariant());
    EXPECT_EQ(run({kRead}).out, QStringLiteral("{}\n"));
}

TEST_F(DefaultsTool, ShowsOnlyWhetherAPasswordIsSet) {
    const QString password = QStringLiteral("hunter22");
    ASSERT_TRUE(writeMasterPassword(password));
    const QByteArray cipherText = stored(keys::applock).toByteArray();

    const Outcome one = run({kRead, keys::applock});
    const Outcome all = run({kRead});
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, QStringLiteral("password set\n"));
    EXPECT_TRUE(all.out.contains(QStringLiteral("applock = <password set>;")));
    for (const Outcome& outcome : {one, all}) {
        EXPECT_FALSE(outcome.out.contains(password));
        EXPECT_FALSE(outcome.out.contains(QString::fromLatin1(cipherText.toHex().left(8))));
    }

    doubles.defaults.setValue(keys::applock, cipherText.left(15));
    EXPECT_TRUE(run({kRead, keys::applock}).out.startsWith(QStringLiteral("password damaged")));

    EXPECT_EQ(run({kDelete, keys::applock}).status, 0);
    EXPECT_EQ(readMasterPassword(), QString());
    const Outcome none = run({kRead, keys::applock});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("no master password")));
}

TEST_F(DefaultsTool, BadArgumentsWriteNothing) {
    writeFlag(keys::isActivateVTR, true);
    const QVariantMap before = doubles.defaults.allValues();
    const int writesBefore = doubles.defaults.writeCount;
    const QString flag = keys::isActivateVTR;
    const QList<QStringList> bad{
        {},
        {QStringLiteral("frobnicate")},
        {kRead, QStringLiteral("a"), QStringLiteral("b")},
        {kRead, QStringLiteral("--verbose")},
        {kWrite},
        {kWrite, flag},
        {kWrite, flag, QStringLiteral("-bool")},
        {kWrite, flag, QStringLiteral("-bool"), QStringLiteral("maybe")},
        {kWrite, flag, QStringLiteral("-bool"), QStringLiteral("true"), QStringLiteral("false")},
        {kWrite, flag, QStringLiteral("-int"), QStringLiteral("1")},
        {kWrite, flag, QStringLiteral("true")},
        {kWrite, flag, QStringLiteral("-string"), QStringLiteral("true")},
        {kWrite, keys::savedIds, QStringLiteral("-string"), QStringLiteral("a")},
        {kWrite, keys::applock, QStringLiteral("-string"), QStringLiteral("secret")},
        {kWrite, QStringLiteral("note"), QStringLiteral("-string")},
        {kWrite, QStringLiteral("note"), QStringLiteral("-string"), QStringLiteral("a"),
         QStringLiteral("b")},
        {kWrite, QString(), QStringLiteral("-string"), QStringLiteral("a")},
        {kDelete},
        {kDelete, flag, flag},
        {QStringLiteral("--help"), QStringLiteral("read")},
    };
    for (const QStringList& arguments : bad) {
        const Outcome outcome = run(arguments);
        const std::string shown = arguments.join(u' ').toStdString();
        EXPECT_EQ(outcome.status, 2) << shown;
        EXPECT_TRUE(outcome.out.isEmpty()) << shown;
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("Usage: vantrel-defaults"))) << shown;
    }
    EXPECT_EQ(doubles.defaults.writeCount, writesBefore);
    EXPECT_EQ(doubles.defaults.allValues(), before);
}

TEST_F(DefaultsTool, DeletesAndReportsWhatItCannotDo) {
    writeFlag(keys::isActivateVTR, false);
    EXPECT_EQ(run({kDelete, keys::isActivateVTR}).status, 0);
    EXPECT_FALSE(stored(keys::isActivateVTR).isValid());
    EXPECT_TRUE(isActivateEnabled());
    const Outcome again = run({kDelete, keys::isActivateVTR});
    EXPECT_EQ(again.status, 1);
    EXPECT_FALSE(again.err.contains(QStringLiteral("Usage")));

    writeFlag(keys::isActivateVTR, false);
    doubles.defaults.refusesWrites = true;
    for (const QStringList& arguments :
         {QStringList{kDelete, keys::isActivateVTR},
          QStringList{kWrite, keys::isActivateVTR, QStringLiteral("-bool"), QStringLiteral("1")}}) {
        const Outcome refused = run(arguments);
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(
            refused.err.contains(QStringLiteral("could not write /home/u/.config/x.plist")));
    }
}

TEST_F(DefaultsTool, HelpGoesToStandardOutput) {
    const Outcome help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.err.isEmpty());
    EXPECT_TRUE(help.out.contains(QStringLiteral("write KEY -array")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("/home/u/.config/x.plist")));
    EXPECT_EQ(run({QStringLiteral("-h")}).out, help.out);
    EXPECT_EQ(doubles.defaults.writeCount, 0);
}
