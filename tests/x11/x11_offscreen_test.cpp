#include "platform/x11/x11_desktop.h"

#include <gtest/gtest.h>
#include <QGuiApplication>

namespace vantrel {
namespace {

TEST(X11DesktopFactory, GivesNothingWhenQtIsNotOnX11) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_FALSE(makeX11Desktop({}).has_value());
}

} // namespace
} // namespace vantrel
