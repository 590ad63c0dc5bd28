#pragma once

#include <cstdint>
#include <QString>
#include <Qt>

namespace vantrel::wayland {

// The Qt key of an X keysym (what xkbcommon reports), with the text the key types: the named
// keys by table, printable ones by their character, upper-cased as Qt's key codes are.
int qtKeyOfKeysym(uint32_t keysym, const QString& text);

// The scan code a key event carries: its xkb keycode, as Qt gives it, so that shortcuts by key
// position work. A keymap without key positions (a virtual keyboard's, made up for the text it
// types) has none to tell: there the key that types q counts as the one where Q lies.
uint32_t scanCodeOfKey(uint32_t keycode, uint32_t keysym, bool keymapHasPositions);

// Whether the key typed text a line edit should insert (not a control character).
bool typesText(const QString& text);

} // namespace vantrel::wayland
