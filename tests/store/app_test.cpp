#include "store/app.h"
#include "tests/doubles/platform_doubles.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QPixmap>

using namespace vantrel;
using vantrel::testing::PlatformDoubles;

namespace {

AppBundle bundleOf(std::optional<QString> identifier, QVariantMap info = {}) {
    return AppBundle{QStringLiteral("/apps/x.desktop"), std::move(identifier), std::move(info)};
}

QIcon solidIcon(Qt::GlobalColor color) {
    QPixmap pixmap(8, 8);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

TEST(App, RecordsOfOneApplicationAreSeparateObjects) {
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/apps/x.desktop"));
    AppRef first = makeApp(url, QStringLiteral("x"), bundleOf(QStringLiteral("x")), false, false);
    AppRef second = makeApp(url, QStringLiteral("x"), bundleOf(QStringLiteral("x")), true, false);
    ASSERT_NE(first.get(), second.get());
    EXPECT_EQ(first->bundleID, second->bundleID);
    first->isSelected = true;
    second->isSelected = false;
    EXPECT_TRUE(first->isSelected);
    EXPECT_EQ(first->url, url);
    EXPECT_FALSE(first->isAlreadyRunning);

    // Shared by reference: a change through one holder is seen through the other.
    AppRef alias = first;
    alias->isSelected = false;
    EXPECT_FALSE(first->isSelected);
}

TEST(App, IconComesFromTheWorkspacesPreferredCopy) {
    PlatformDoubles doubles;
    doubles.applicationPaths.paths.insert(QStringLiteral("x"), QStringLiteral("/preferred/x"));
    doubles.applicationPaths.icons.insert(QStringLiteral("/preferred/x"), solidIcon(Qt::red));
    doubles.applicationPaths.icons.insert(QStringLiteral("/apps/x.desktop"), solidIcon(Qt::blue));

    const AppRef app = makeApp(QUrl::fromLocalFile(QStringLiteral("/apps/x.desktop")),
                               QStringLiteral("x"), bundleOf(QStringLiteral("x")), false, false);
    const QImage image = app->icon().pixmap(8, 8).toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::red));

    // The bundle's own identifier is what is looked up, not the record's.
    const AppRef noBundleId =
        makeApp(QUrl(), QStringLiteral("x"), bundleOf(std::nullopt), false, false);
    EXPECT_TRUE(noBundleId->icon().isNull());
    const AppRef unknown =
        makeApp(QUrl(), QStringLiteral("y"), bundleOf(QStringLiteral("y")), false, false);
    EXPECT_TRUE(unknown->icon().isNull());
}

TEST(App, DisplayNameIsTheBundleNameWhenItIsText) {
    const auto withName = [](const QVariant& name) {
        return makeApp(QUrl(), QStringLiteral("x"),
                       bundleOf(QStringLiteral("x"), {{QStringLiteral("CFBundleName"), name}}),
                       false, false);
    };
    EXPECT_EQ(withName(QStringLiteral("Calculator"))->displayName(), QStringLiteral("Calculator"));
    EXPECT_EQ(withName(QString())->displayName(), QString());
    EXPECT_EQ(withName(qint64(3))->displayName(), std::nullopt);
    EXPECT_EQ(withName(QVariantList{QStringLiteral("a")})->displayName(), std::nullopt);
    EXPECT_EQ(makeApp(QUrl(), QStringLiteral("x"), bundleOf(QStringLiteral("x")), false, false)
                  ->displayName(),
              std::nullopt);
}
