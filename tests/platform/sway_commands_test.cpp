#include "platform/wayland/wlroots/sway_commands.h"

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

QByteArray reply(const QByteArray& json) {
    QByteArray message("i3-ipc");
    const quint32 header[2] = {quint32(json.size()), 0};
    message.append(reinterpret_cast<const char*>(header), sizeof header);
    return message + json;
}

TEST(SwayCommands, ARepliedCommandCountsWhenAnyOfItsPartsMovedSomething) {
    // The app_id part matched a Wayland window; the class part found no XWayland one.
    EXPECT_EQ(SwayCommands::anyCommandSucceeded(
                  reply(R"([{"success":true},{"success":false,"error":"No matching node."}])")),
              std::optional<bool>(true));
    EXPECT_EQ(SwayCommands::anyCommandSucceeded(
                  reply(R"([{"success":false,"error":"No matching node."},{"success":false}])")),
              std::optional<bool>(false));
    EXPECT_EQ(SwayCommands::anyCommandSucceeded(reply("not json")), std::optional<bool>(false));
}

TEST(SwayCommands, AReplyInPiecesIsWaitedFor) {
    const QByteArray whole = reply(R"([{"success":true}])");
    for (qsizetype cut : {qsizetype(0), qsizetype(5), qsizetype(14), whole.size() - 1})
        EXPECT_FALSE(SwayCommands::anyCommandSucceeded(whole.left(cut))) << cut;
    EXPECT_TRUE(SwayCommands::anyCommandSucceeded(whole));
}

} // namespace
} // namespace vantrel
