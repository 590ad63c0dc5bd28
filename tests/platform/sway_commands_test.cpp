#include "platform/wayland/sway_commands.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(SwayCommands, PlainIdsAreMatchedWholeWithDotsTakenLiterally) {
    const std::optional<QString> command =
        SwayCommands::scratchpadCommand(QStringLiteral("org.gnome.Nautilus"));
    ASSERT_TRUE(command);
    EXPECT_EQ(*command, QStringLiteral("[app_id=\"^org\\.gnome\\.Nautilus$\"] move scratchpad; "
                                       "[class=\"^org\\.gnome\\.Nautilus$\"] move scratchpad"));
}

TEST(SwayCommands, IdsThatCouldBreakOutOfTheCriterionAreRefused) {
    for (const QString& appId :
         {QStringLiteral("a\"] kill; [app_id=\"b"), QStringLiteral("foo.*"), QString(),
          QStringLiteral("two words"), QStringLiteral("back\\slash")})
        EXPECT_FALSE(SwayCommands::scratchpadCommand(appId)) << appId.toStdString();
}

TEST(SwayCommands, MessagesCarryTheMagicLengthAndRunCommandType) {
    const QByteArray message = SwayCommands::runCommandMessage(QStringLiteral("nop é"));
    ASSERT_EQ(message.size(), 6 + 8 + 6);
    EXPECT_EQ(message.left(6), QByteArray("i3-ipc"));
    quint32 length = 0;
    quint32 type = 1;
    std::memcpy(&length, message.constData() + 6, 4);
    std::memcpy(&type, message.constData() + 10, 4);
    EXPECT_EQ(length, 6u); // bytes of UTF-8, not characters
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(message.mid(14), QByteArray("nop \xc3\xa9"));
}

} // namespace
} // namespace vantrel
