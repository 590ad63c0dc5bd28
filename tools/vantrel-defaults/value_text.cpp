#include "tools/vantrel-defaults/value_text.h"

#include "platform/keyed_archive.h"
#include "store/master_password.h"
#include "store/settings.h"

#include <functional>
#include <QDateTime>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

const QString kIndent = u"    "_s;

// Deciphered only to learn whether it reads back; neither the password nor its cipher text
// ever reaches the output.
QString passwordState() {
    switch (readStoredPassword().state) {
    case StoredPassword::State::readable:
        return u"password set"_s;
    case StoredPassword::State::damaged:
        return u"password damaged (it cannot be read back, and nothing unlocks until it is "
               u"deleted)"_s;
    case StoredPassword::State::none:
        break;
    }
    return u"no password set"_s;
}

QString quoted(const QString& text) {
    QString result = u"\""_s;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            result += u"\\\""_s;
            break;
        case u'\\':
            result += u"\\\\"_s;
            break;
        case u'\n':
            result += u"\\n"_s;
            break;
        case u'\t':
            result += u"\\t"_s;
            break;
        case u'\r':
            result += u"\\r"_s;
            break;
        default:
            // Other control characters would reach the terminal as commands.
            if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control)
                result += u"\\U"_s + QString::number(c.unicode(), 16).rightJustified(4, u'0');
            else
                result += c;
        }
    }
    return result + u'"';
}

bool isPlainKey(const QString& key) {
    if (key.isEmpty())
        return false;
    for (const QChar c : key) {
        if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'_' && c != u'.')
            return false;
    }
    return true;
}

QString numberText(double number) {
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

QString nestedText(const QVariant& value, const QString& indent);

QString listText(const QVariantList& items, const QString& indent) {
    if (items.isEmpty())
        return u"()"_s;
    QStringList lines;
    for (const QVariant& item : items)
        lines.append(indent + kIndent + nestedText(item, indent + kIndent));
    return u"(\n"_s + lines.join(u",\n"_s) + u'\n' + indent + u')';
}

QString mapText(const QVariantMap& map, const QString& indent,
                const std::function<QString(const QString&, const QVariant&)>& describe) {
    if (map.isEmpty())
        return u"{}"_s;
    QString text = u"{\n"_s;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        const QString key = isPlainKey(it.key()) ? it.key() : quoted(it.key());
        text += indent + kIndent + key + u" = "_s + describe(it.key(), it.value()) + u";\n"_s;
    }
    return text + indent + u'}';
}

QVariantList asVariants(const QStringList& strings) {
    QVariantList items;
    for (const QString& s : strings)
        items.append(s);
    return items;
}

QString nestedText(const QVariant& value, const QString& indent) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? u"true"_s : u"false"_s;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
        return numberText(value.toDouble());
    case QMetaType::QString:
        return quoted(value.toString());
    case QMetaType::QDateTime:
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        if (const std::optional<QStringList> list = unarchiveStringList(data))
            return listText(asVariants(*list), indent);
        return u'<' + QString::fromLatin1(data.toHex()) + u'>';
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return listText(value.toList(), indent);
    case QMetaType::QVariantMap:
        return mapText(value.toMap(), indent, [&indent](const QString&, const QVariant& inner) {
            return nestedText(inner, indent + kIndent);
        });
    default:
        return u"<unknown value>"_s;
    }
}

} // namespace

QString valueTextForKey(const QString& key, const QVariant& value) {
    if (key == keys::applock)
        return passwordState();
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QByteArray:
        if (const std::optional<QStringList> list = unarchiveStringList(value.toByteArray()))
            return list->join(u'\n');
        break;
    default:
        break;
    }
    return nestedText(value, QString());
}

QString listingText(const QVariantMap& values) {
    return mapText(values, QString(), [](const QString& key, const QVariant& value) {
        if (key == keys::applock)
            return u'<' + passwordState() + u'>';
        return nestedText(value, kIndent);
    });
}

} // namespace vantrel
