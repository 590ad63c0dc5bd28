#include "store/validate.h"

#include <QByteArray>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

// The built-in values, kept as single characters so that neither appears whole in the binary.
const QStringList& builtInIvCharacters()
{
    static const QStringList characters{u"i"_s, u"u"_s, u"C"_s, u"8"_s, u"c"_s, u"j"_s, u"k"_s, u"W"_s, u"6"_s, u"2"_s, u"l"_s, u"T"_s, u"F"_s, u"l"_s, u"g"_s, u"/"_s, u"L"_s, u"l"_s, u"Z"_s, u"P"_s, u"9"_s, u"w"_s, u"="_s, u"="_s};
    return characters;
}

const QStringList& builtInKeyCharacters()
{
    static const QStringList characters{u"a"_s, u"P"_s, u"z"_s, u"B"_s, u"y"_s, u"1"_s, u"M"_s, u"i"_s, u"u"_s, u"O"_s, u"l"_s, u"D"_s, u"6"_s, u"V"_s, u"Z"_s, u"Q"_s, u"O"_s, u"v"_s, u"u"_s, u"U"_s, u"6"_s, u"g"_s, u"F"_s, u"m"_s, u"L"_s, u"5"_s, u"z"_s, u"d"_s, u"P"_s, u"+"_s, u"q"_s, u"K"_s, u"2"_s, u"G"_s, u"Q"_s, u"5"_s, u"i"_s, u"i"_s, u"O"_s, u"H"_s, u"l"_s, u"U"_s, u"E"_s, u"="_s};
    return characters;
}

std::optional<QByteArray> strictBase64(const QStringList& characters)
{
    const QByteArray text = characters.join(QString()).toLatin1();
    const auto decoded =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return std::nullopt;
    }
    // Qt accepts missing padding; the platform decoder we stand in for does not.
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    return *decoded;
}

} // namespace

const Validate& Validate::shared()
{
    static const Validate instance(builtInIvCharacters(), builtInKeyCharacters());
    return instance;
}

Validate::Validate(const QStringList& ivCharacters, const QStringList& keyCharacters)
{
    const auto iv = strictBase64(ivCharacters);
    const auto key = strictBase64(keyCharacters);
    if (!iv || !key) {
        return;
    }
    try {
        m_aes256.emplace(*key, *iv);
    } catch (const AES256::Error&) {
        m_aes256.reset();
    }
}

} // namespace vantrel
