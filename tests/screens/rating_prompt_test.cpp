#include "screens/rating_prompt.h"
#include "store/settings.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QUrl>

namespace vantrel {
namespace {

constexpr int remindMeLater = FirstButtonReturn + 1;

class RatingPromptTest : public ::testing::Test {
protected:
    RatingPromptTest() {
        setStorePageOpener([this](const QUrl& url) { opened.append(url); });
    }
    ~RatingPromptTest() override { setStorePageOpener({}); }

    testing::PlatformDoubles doubles;
    QList<QUrl> opened;
};

TEST_F(RatingPromptTest, AsksWithTheRatingAlertAndRateVantrelOpensTheStoreAndRemembers) {
    rateUsOnAppStore();

    ASSERT_EQ(doubles.alerts.shown.size(), 1);
    const AlertRequest& alert = doubles.alerts.shown.first();
    EXPECT_EQ(alert.messageText, QStringLiteral("Enjoying Vantrel?"));
    EXPECT_EQ(
        alert.informativeText,
        QStringLiteral("Spread the word and help other fellow users. \nRate us on the App Store."));
    EXPECT_EQ(alert.buttonTitles,
              (QStringList{QStringLiteral("Rate Vantrel"), QStringLiteral("Remind Me Later")}));
    EXPECT_EQ(alert.style, AlertStyle::Warning);
    EXPECT_EQ(doubles.defaults.value(keys::isAppstoreRated), QVariant(true));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first(), QUrl(QStringLiteral("appstream://com.corvane.vantrel")));
    EXPECT_TRUE(opened.first().isValid());

    // Rated: no later run asks again.
    rateUsOnAppStore();
    EXPECT_EQ(doubles.alerts.shown.size(), 1);
}

TEST_F(RatingPromptTest, RemindMeLaterStoresNothingAndTheNextRunAsksAgain) {
    doubles.alerts.nextAnswers = {remindMeLater, remindMeLater};

    rateUsOnAppStore();
    rateUsOnAppStore();

    EXPECT_EQ(doubles.alerts.shown.size(), 2);
    EXPECT_EQ(doubles.defaults.writeCount, 0);
    EXPECT_FALSE(doubles.defaults.value(keys::isAppstoreRated).isValid());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(RatingPromptTest, GiveRatingAsksEvenWhenAlreadyRated) {
    doubles.defaults.setValue(keys::isAppstoreRated, true);
    doubles.alerts.nextAnswers = {remindMeLater};

    giveRatingOnAppstore();

    EXPECT_EQ(doubles.alerts.shown.size(), 1);
    EXPECT_EQ(doubles.defaults.value(keys::isAppstoreRated), QVariant(true));
}

TEST_F(RatingPromptTest, AnyStoredValueIsReadAsTheDatabaseReadsBooleans) {
    struct Case {
        QVariant stored;
        bool rated;
    };
    const Case cases[] = {
        {QVariant(), false},
        {QVariant(true), true},
        {QVariant(false), false},
        {QVariant(qint64(1)), true},
        {QVariant(qint64(0)), false},
        {QVariant(0.5), true},
        {QVariant(QStringLiteral("YES")), true},
        {QVariant(QStringLiteral("true")), true},
        {QVariant(QStringLiteral("1")), true},
        {QVariant(QStringLiteral(" 12 apples")), true},
        {QVariant(QStringLiteral("NO")), false},
        {QVariant(QStringLiteral("0")), false},
        {QVariant(QStringLiteral("false")), false},
        {QVariant(QStringLiteral("rated")), false},
        {QVariant(QString()), false},
        {QVariant(QByteArray("1")), false},
    };
    for (const Case& each : cases) {
        if (each.stored.isValid()) {
            doubles.defaults.setValue(keys::isAppstoreRated, each.stored);
        } else {
            doubles.defaults.removeValue(keys::isAppstoreRated);
        }
        EXPECT_EQ(isAppstoreRated(), each.rated) << each.stored.toString().toStdString();

        doubles.alerts.shown.clear();
        doubles.alerts.nextAnswers = {remindMeLater};
        rateUsOnAppStore();
        EXPECT_EQ(doubles.alerts.shown.size(), each.rated ? 0 : 1);
    }
}

} // namespace
} // namespace vantrel
