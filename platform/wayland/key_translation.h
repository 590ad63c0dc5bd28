#pragma once

#include <cstdint>
#include <QString>
#include <Qt>

namespace vantrel::wayland {

// The Qt key of an X keysym (what xkbcommon reports), with the text the key types: the named
// keys by table, printable ones by their character, upper-cased as Qt's key codes are.
int qtKeyOfKeysym(uint32_t keysym, const QString& text);

// Whether the key typed text a line edit should insert (not a control character).
bool typesText(const QString& text);

} // namespace vantrel::wayland
