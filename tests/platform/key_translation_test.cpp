#include "platform/wayland/key_translation.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace vantrel::wayland {
namespace {

TEST(KeyTranslation, TheKeysAPasswordFieldActsOnAreNamed) {
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_Return, QStringLiteral("\r")), Qt::Key_Return);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_KP_Enter, QStringLiteral("\r")), Qt::Key_Enter);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_BackSpace, QStringLiteral("\b")), Qt::Key_Backspace);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_Escape, {}), Qt::Key_Escape);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_ISO_Left_Tab, {}), Qt::Key_Backtab);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_KP_Left, {}), Qt::Key_Left);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_Control_R, {}), Qt::Key_Control);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_F12, {}), Qt::Key_F12);
}

TEST(KeyTranslation, PrintableKeysAreTheirUpperCaseCharacter) {
    // Qt names letter keys by their capital, whatever the shift state.
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_a, QStringLiteral("a")), Qt::Key_A);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_A, QStringLiteral("A")), Qt::Key_A);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_q, {}), Qt::Key_Q); // with Control held there is no text
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_7, QStringLiteral("7")), Qt::Key_7);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_space, QStringLiteral(" ")), Qt::Key_Space);
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_adiaeresis, QStringLiteral("ä")), Qt::Key_Adiaeresis);
    // Beyond Latin-1 the text decides: a Cyrillic letter.
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_Cyrillic_ve, QStringLiteral("в")), int(QChar(u'В').unicode()));
    EXPECT_EQ(qtKeyOfKeysym(XKB_KEY_XF86AudioMute, {}), Qt::Key_unknown);
}

TEST(KeyTranslation, OnlyPrintableTextIsTyped) {
    EXPECT_TRUE(typesText(QStringLiteral("a")));
    EXPECT_TRUE(typesText(QStringLiteral("€")));
    EXPECT_TRUE(typesText(QString::fromUtf8("\xF0\x9F\x94\x91"))); // beyond the BMP
    EXPECT_FALSE(typesText(QStringLiteral("\r")));
    EXPECT_FALSE(typesText(QStringLiteral("\x7f")));
    EXPECT_FALSE(typesText(QString(QChar(0x01)))); // Control+A
    EXPECT_FALSE(typesText({}));
}

TEST(KeyTranslation, ScanCodesAreKeycodesUnlessTheKeymapNamesNoPositions) {
    // A physical keyboard with a French layout: the key at Q's position types a.
    EXPECT_EQ(scanCodeOfKey(24, XKB_KEY_a, true), 24u);
    EXPECT_EQ(scanCodeOfKey(38, XKB_KEY_q, true), 38u);
    // A virtual keyboard's keymap, with keycodes handed out in the order of the text.
    EXPECT_EQ(scanCodeOfKey(9, XKB_KEY_q, false), 24u);
    EXPECT_EQ(scanCodeOfKey(10, XKB_KEY_Q, false), 24u);
    EXPECT_EQ(scanCodeOfKey(11, XKB_KEY_w, false), 11u);
}

} // namespace
} // namespace vantrel::wayland
