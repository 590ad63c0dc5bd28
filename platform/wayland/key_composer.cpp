#include "platform/wayland/key_composer.h"

#include <xkbcommon/xkbcommon-compose.h>

namespace vantrel::wayland {

KeyComposer::KeyComposer(xkb_compose_table* table)
    : m_state(table != nullptr ? xkb_compose_state_new(table, XKB_COMPOSE_STATE_NO_FLAGS)
                               : nullptr) {
    // The state holds the table.
    xkb_compose_table_unref(table);
}

KeyComposer::~KeyComposer() {
    xkb_compose_state_unref(m_state);
}

std::optional<KeyComposer::Typed> KeyComposer::press(uint32_t keysym, const QString& text,
                                                     Qt::KeyboardModifiers held) {
    constexpr Qt::KeyboardModifiers shortcutModifiers =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    // The table ignores modifier keys: Shift in the middle of a sequence is still Shift.
    if (m_state == nullptr || held.testAnyFlags(shortcutModifiers) ||
        xkb_compose_state_feed(m_state, keysym) == XKB_COMPOSE_FEED_IGNORED)
        return Typed{keysym, text};
    switch (xkb_compose_state_get_status(m_state)) {
    case XKB_COMPOSE_NOTHING:
        return Typed{keysym, text};
    case XKB_COMPOSE_COMPOSED: {
        char utf8[64] = {};
        xkb_compose_state_get_utf8(m_state, utf8, sizeof utf8);
        return Typed{xkb_compose_state_get_one_sym(m_state), QString::fromUtf8(utf8)};
    }
    case XKB_COMPOSE_COMPOSING:
    case XKB_COMPOSE_CANCELLED:
        break;
    }
    return std::nullopt;
}

void KeyComposer::reset() {
    if (m_state != nullptr)
        xkb_compose_state_reset(m_state);
}

QByteArray composeLocale(const QByteArray& lcAll, const QByteArray& lcCtype,
                         const QByteArray& lang) {
    for (const QByteArray& value : {lcAll, lcCtype, lang}) {
        if (!value.isEmpty())
            return value;
    }
    return QByteArrayLiteral("C");
}

QByteArray composeLocaleOfEnvironment() {
    return composeLocale(qgetenv("LC_ALL"), qgetenv("LC_CTYPE"), qgetenv("LANG"));
}

xkb_compose_table* composeTableOfLocale(xkb_context* context, const QByteArray& locale) {
    if (context == nullptr)
        return nullptr;
    return xkb_compose_table_new_from_locale(context, locale.constData(),
                                             XKB_COMPOSE_COMPILE_NO_FLAGS);
}

} // namespace vantrel::wayland
