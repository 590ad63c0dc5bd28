#include "platform/wayland/key_composer.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace vantrel::wayland {
namespace {

// A few sequences in the Compose file format, as the desktop's table has them.
constexpr char composeFile[] = R"(
<dead_acute> <e>            : "é"   eacute
<dead_acute> <E>            : "É"   Eacute
<dead_circumflex> <a>       : "â"   acircumflex
<Multi_key> <o> <c>         : "©"   copyright
<Multi_key> <minus> <minus> <period> : "–"   endash
)";

struct Key {
    uint32_t keysym;
    const char* text = "";
};

std::optional<KeyComposer::Typed> press(KeyComposer& composer, Key key,
                                        Qt::KeyboardModifiers held = {}) {
    return composer.press(key.keysym, QString::fromUtf8(key.text), held);
}

// What the keys typed: the text of each press that typed anything.
QString type(KeyComposer& composer, std::initializer_list<Key> keys) {
    QString typed;
    for (const Key& key : keys) {
        if (const std::optional<KeyComposer::Typed> result = press(composer, key))
            typed += result->text;
    }
    return typed;
}

struct Context {
    Context()
        : context(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}
    ~Context() { xkb_context_unref(context); }
    xkb_context* context;
};

class Composition : public ::testing::Test {
protected:
    Composition()
        : composer(xkb_compose_table_new_from_buffer(
              xkb.context, composeFile, sizeof composeFile - 1, "C", XKB_COMPOSE_FORMAT_TEXT_V1,
              XKB_COMPOSE_COMPILE_NO_FLAGS)) {}

    Context xkb;
    KeyComposer composer;
};

TEST_F(Composition, ADeadKeyTypesNothingAndTheNextKeyTypesTheAccentedLetter) {
    EXPECT_FALSE(press(composer, {XKB_KEY_dead_acute}));
    const std::optional<KeyComposer::Typed> typed = press(composer, {XKB_KEY_e, "e"});
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->text, QStringLiteral("é"));
    EXPECT_EQ(typed->keysym, uint32_t(XKB_KEY_eacute));
    EXPECT_EQ(type(composer, {{XKB_KEY_c, "c"},
                              {XKB_KEY_a, "a"},
                              {XKB_KEY_f, "f"},
                              {XKB_KEY_dead_acute},
                              {XKB_KEY_e, "e"}}),
              QStringLiteral("café"));
}

TEST_F(Composition, ShiftWithinASequenceIsNoPartOfIt) {
    EXPECT_FALSE(press(composer, {XKB_KEY_dead_acute}));
    const std::optional<KeyComposer::Typed> shift = press(composer, {XKB_KEY_Shift_L});
    ASSERT_TRUE(shift);
    EXPECT_EQ(shift->keysym, uint32_t(XKB_KEY_Shift_L));
    EXPECT_EQ(type(composer, {{XKB_KEY_E, "E"}}), QStringLiteral("É"));
}

TEST_F(Composition, MultiKeySequencesOfAnyLength) {
    EXPECT_EQ(type(composer, {{XKB_KEY_Multi_key}, {XKB_KEY_o, "o"}, {XKB_KEY_c, "c"}}),
              QStringLiteral("©"));
    EXPECT_EQ(type(composer, {{XKB_KEY_Multi_key},
                              {XKB_KEY_minus, "-"},
                              {XKB_KEY_minus, "-"},
                              {XKB_KEY_period, "."}}),
              QStringLiteral("–"));
}

TEST_F(Composition, AKeyThatBreaksASequenceOffTypesNothingAndTheNextStartsAfresh) {
    EXPECT_EQ(type(composer, {{XKB_KEY_dead_circumflex}, {XKB_KEY_q, "q"}}), QString());
    EXPECT_EQ(type(composer, {{XKB_KEY_Multi_key}, {XKB_KEY_o, "o"}, {XKB_KEY_x, "x"}}), QString());
    EXPECT_EQ(type(composer, {{XKB_KEY_e, "e"}, {XKB_KEY_dead_circumflex}, {XKB_KEY_a, "a"}}),
              QStringLiteral("eâ"));
}

TEST_F(Composition, KeysOutsideSequencesTypeWhatTheyAre) {
    const std::optional<KeyComposer::Typed> typed = press(composer, {XKB_KEY_o, "o"});
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->keysym, uint32_t(XKB_KEY_o));
    EXPECT_EQ(typed->text, QStringLiteral("o"));
    EXPECT_EQ(type(composer, {{XKB_KEY_Return, "\r"}}), QStringLiteral("\r"));
}

TEST_F(Composition, ShortcutsPassAndLeaveASequenceAsItWas) {
    EXPECT_FALSE(press(composer, {XKB_KEY_dead_acute}));
    // Control+Alt+Q, the lock's own shortcut, in the middle of a sequence.
    const std::optional<KeyComposer::Typed> shortcut =
        press(composer, {XKB_KEY_q}, Qt::ControlModifier | Qt::AltModifier);
    ASSERT_TRUE(shortcut);
    EXPECT_EQ(shortcut->keysym, uint32_t(XKB_KEY_q));
    EXPECT_EQ(type(composer, {{XKB_KEY_e, "e"}}), QStringLiteral("é"));
}

TEST_F(Composition, ResetDropsASequenceBegun) {
    EXPECT_FALSE(press(composer, {XKB_KEY_dead_acute}));
    composer.reset();
    EXPECT_EQ(type(composer, {{XKB_KEY_e, "e"}}), QStringLiteral("e"));
}

TEST(ComposeTable, WithoutATableADeadKeyIsAKeyLikeAnyOther) {
    KeyComposer composer(nullptr);
    const std::optional<KeyComposer::Typed> dead = press(composer, {XKB_KEY_dead_acute});
    ASSERT_TRUE(dead);
    EXPECT_EQ(dead->keysym, uint32_t(XKB_KEY_dead_acute));
    EXPECT_EQ(type(composer, {{XKB_KEY_e, "e"}}), QStringLiteral("e"));
}

TEST(ComposeTable, TheLocaleIsTheFirstOfLcAllLcCtypeAndLangThatIsSet) {
    EXPECT_EQ(composeLocale("de_DE.UTF-8", "fr_FR.UTF-8", "en_GB.UTF-8"), "de_DE.UTF-8");
    EXPECT_EQ(composeLocale({}, "fr_FR.UTF-8", "en_GB.UTF-8"), "fr_FR.UTF-8");
    EXPECT_EQ(composeLocale({}, {}, "en_GB.UTF-8"), "en_GB.UTF-8");
    EXPECT_EQ(composeLocale({}, {}, {}), "C");
}

// The tables the desktop's toolkits read, from the system's locale files.
TEST(ComposeTable, TheSystemsUtf8LocalesComposeDeadKeysAndMultiKeySequences) {
    Context xkb;
    for (const char* locale : {"en_US.UTF-8", "C.UTF-8", "de_DE.UTF-8"}) {
        SCOPED_TRACE(locale);
        KeyComposer composer(composeTableOfLocale(xkb.context, locale));
        EXPECT_EQ(type(composer, {{XKB_KEY_dead_acute}, {XKB_KEY_e, "e"}}), QStringLiteral("é"));
        EXPECT_EQ(type(composer, {{XKB_KEY_Multi_key}, {XKB_KEY_o, "o"}, {XKB_KEY_c, "c"}}),
                  QStringLiteral("©"));
    }
}

} // namespace
} // namespace vantrel::wayland
