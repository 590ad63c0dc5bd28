#pragma once

#include <cstdint>
#include <optional>
#include <QByteArray>
#include <QString>
#include <Qt>

struct xkb_compose_state;
struct xkb_compose_table;
struct xkb_context;

namespace vantrel::wayland {

// Dead keys and compose sequences, by a Compose table: the keys of a sequence type nothing until
// the last one, which types the sequence's character. A key that breaks a sequence off types
// nothing either, as under libX11, so a half-typed sequence never leaves a stray character.
class KeyComposer {
public:
    // What a key press types.
    struct Typed {
        uint32_t keysym = 0;
        QString text;
    };

    // Takes over the caller's reference to the table; without a table every key types what it
    // is.
    explicit KeyComposer(xkb_compose_table* table);
    ~KeyComposer();
    KeyComposer(const KeyComposer&) = delete;
    KeyComposer& operator=(const KeyComposer&) = delete;

    // A press of the key with this keysym, which types text alone: what it types now, or nothing
    // while it is part of a sequence. With Control, Alt or the logo key held it is a shortcut,
    // not typing: it passes as it is and leaves a sequence begun as it was.
    std::optional<Typed> press(uint32_t keysym, const QString& text,
                               Qt::KeyboardModifiers held = {});
    // Drops a sequence begun: the keys went elsewhere. (Not when the keymap changes: sequences
    // are of keysyms, and a virtual keyboard may send a keymap of its own for every key.)
    void reset();

private:
    xkb_compose_state* m_state = nullptr;
};

// The locale whose Compose table applies, as xkbcommon asks: LC_ALL, else LC_CTYPE, else LANG,
// else "C"; empty counts as unset.
QByteArray composeLocale(const QByteArray& lcAll, const QByteArray& lcCtype,
                         const QByteArray& lang);
QByteArray composeLocaleOfEnvironment();

// The locale's table, with the user's own ~/.XCompose or XCOMPOSEFILE where there is one; null
// where the locale has none.
xkb_compose_table* composeTableOfLocale(xkb_context* context, const QByteArray& locale);

} // namespace vantrel::wayland
