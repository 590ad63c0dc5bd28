#include "platform/wayland/key_translation.h"

#include <algorithm>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace vantrel::wayland {
namespace {

struct NamedKey {
    uint32_t keysym;
    int key;
};

constexpr NamedKey namedKeys[] = {
    {XKB_KEY_BackSpace, Qt::Key_Backspace},
    {XKB_KEY_Tab, Qt::Key_Tab},
    {XKB_KEY_ISO_Left_Tab, Qt::Key_Backtab},
    {XKB_KEY_Return, Qt::Key_Return},
    {XKB_KEY_KP_Enter, Qt::Key_Enter},
    {XKB_KEY_Escape, Qt::Key_Escape},
    {XKB_KEY_Delete, Qt::Key_Delete},
    {XKB_KEY_KP_Delete, Qt::Key_Delete},
    {XKB_KEY_Insert, Qt::Key_Insert},
    {XKB_KEY_Home, Qt::Key_Home},
    {XKB_KEY_KP_Home, Qt::Key_Home},
    {XKB_KEY_End, Qt::Key_End},
    {XKB_KEY_KP_End, Qt::Key_End},
    {XKB_KEY_Left, Qt::Key_Left},
    {XKB_KEY_KP_Left, Qt::Key_Left},
    {XKB_KEY_Right, Qt::Key_Right},
    {XKB_KEY_KP_Right, Qt::Key_Right},
    {XKB_KEY_Up, Qt::Key_Up},
    {XKB_KEY_KP_Up, Qt::Key_Up},
    {XKB_KEY_Down, Qt::Key_Down},
    {XKB_KEY_KP_Down, Qt::Key_Down},
    {XKB_KEY_Page_Up, Qt::Key_PageUp},
    {XKB_KEY_Page_Down, Qt::Key_PageDown},
    {XKB_KEY_Shift_L, Qt::Key_Shift},
    {XKB_KEY_Shift_R, Qt::Key_Shift},
    {XKB_KEY_Control_L, Qt::Key_Control},
    {XKB_KEY_Control_R, Qt::Key_Control},
    {XKB_KEY_Alt_L, Qt::Key_Alt},
    {XKB_KEY_Alt_R, Qt::Key_Alt},
    {XKB_KEY_ISO_Level3_Shift, Qt::Key_AltGr},
    {XKB_KEY_Super_L, Qt::Key_Meta},
    {XKB_KEY_Super_R, Qt::Key_Meta},
    {XKB_KEY_Meta_L, Qt::Key_Meta},
    {XKB_KEY_Meta_R, Qt::Key_Meta},
    {XKB_KEY_Caps_Lock, Qt::Key_CapsLock},
    {XKB_KEY_Num_Lock, Qt::Key_NumLock},
    {XKB_KEY_Menu, Qt::Key_Menu},
    {XKB_KEY_Print, Qt::Key_Print},
};

} // namespace

int qtKeyOfKeysym(uint32_t keysym, const QString& text) {
    for (const NamedKey& named : namedKeys) {
        if (named.keysym == keysym)
            return named.key;
    }
    if (keysym >= XKB_KEY_F1 && keysym <= XKB_KEY_F35)
        return Qt::Key_F1 + int(keysym - XKB_KEY_F1);
    // Latin-1 keysyms are their characters.
    if (keysym >= 0x20 && keysym <= 0xff)
        return QChar(char16_t(keysym)).toUpper().unicode();
    if (!text.isEmpty() && !text.front().isNull() && typesText(text))
        return QChar(text.front()).toUpper().unicode();
    return Qt::Key_unknown;
}

uint32_t scanCodeOfKey(uint32_t keycode, uint32_t keysym, bool keymapHasPositions) {
    // KEY_Q (16) plus 8, as X11 and xkbcommon number keys.
    constexpr uint32_t qPositionKeycode = 24;
    if (!keymapHasPositions && (keysym == XKB_KEY_q || keysym == XKB_KEY_Q))
        return qPositionKeycode;
    return keycode;
}

bool typesText(const QString& text) {
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(),
                                          [](QChar c) { return c.isPrint() || c.isSurrogate(); });
}

} // namespace vantrel::wayland
