#include "platform/property_list.h"

#include "platform/binary_plist_keys.h"
#include "platform/plist_io.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <plist/plist.h>
#include <QDateTime>
#include <QTimeZone>
#include <QVariantList>
#include <QVariantMap>

namespace vantrel {

namespace {

// Deeper trees than this are not real settings; recursion must stay far from the stack limit.
constexpr int kMaxDepth = 512;

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(char* p) const { std::free(p); }
};

QDateTime referenceDate() {
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
}

std::optional<QVariant> toVariant(plist_t node, int depth) {
    if (node == nullptr || depth > kMaxDepth)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        return QVariant(b != 0);
    }
    case PLIST_UINT: {
        uint64_t v = 0;
        plist_get_uint_val(node, &v);
        // libplist 2.2 keeps negative integers as their two's-complement bits.
        return QVariant(static_cast<qint64>(v));
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        return QVariant(d);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t length = 0;
        const char* p = plist_get_string_ptr(node, &length);
        if (p == nullptr)
            return QVariant(QString());
        if (length > static_cast<uint64_t>(std::numeric_limits<qsizetype>::max()))
            return std::nullopt;
        return QVariant(QString::fromUtf8(p, static_cast<qsizetype>(length)));
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* p = plist_get_data_ptr(node, &length);
        if (p == nullptr)
            return QVariant(QByteArray());
        if (length > static_cast<uint64_t>(std::numeric_limits<qsizetype>::max()))
            return std::nullopt;
        return QVariant(QByteArray(p, static_cast<qsizetype>(length)));
    }
    case PLIST_DATE: {
        int32_t sec = 0;
        int32_t usec = 0;
        plist_get_date_val(node, &sec, &usec);
        const qint64 ms = static_cast<qint64>(sec) * 1000 + usec / 1000;
        return QVariant(referenceDate().addMSecs(ms));
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t n = plist_array_get_size(node);
        for (uint32_t i = 0; i < n; ++i) {
            auto item = toVariant(plist_array_get_item(node, i), depth + 1);
            if (!item)
                return std::nullopt;
            list.append(std::move(*item));
        }
        return QVariant(list);
    }
    case PLIST_DICT: {
        QVariantMap map;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        const std::unique_ptr<void, decltype(&std::free)> iterGuard(it, &std::free);
        for (;;) {
            char* rawKey = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, it, &rawKey, &value);
            const std::unique_ptr<char, MallocDeleter> key(rawKey);
            if (value == nullptr)
                break;
            if (!key)
                return std::nullopt;
            auto item = toVariant(value, depth + 1);
            if (!item)
                return std::nullopt;
            map.insert(QString::fromUtf8(key.get()), std::move(*item));
        }
        return QVariant(map);
    }
    default:
        return std::nullopt; // UID and anything newer have no QVariant form
    }
}

PlistPtr fromVariant(const QVariant& value, int depth) {
    if (depth > kMaxDepth)
        return nullptr;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return PlistPtr(plist_new_bool(value.toBool() ? 1 : 0));
    case QMetaType::Int:
    case QMetaType::LongLong:
        return PlistPtr(plist_new_uint(static_cast<uint64_t>(value.toLongLong())));
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return PlistPtr(plist_new_uint(value.toULongLong()));
    case QMetaType::Double:
        return PlistPtr(plist_new_real(value.toDouble()));
    case QMetaType::QString:
        return PlistPtr(plist_new_string(value.toString().toUtf8().constData()));
    case QMetaType::QByteArray: {
        const QByteArray data = value.toByteArray();
        return PlistPtr(plist_new_data(data.constData(), static_cast<uint64_t>(data.size())));
    }
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        if (!date.isValid())
            return nullptr;
        const qint64 ms = referenceDate().msecsTo(date);
        const qint64 sec = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
        if (sec < std::numeric_limits<int32_t>::min() || sec > std::numeric_limits<int32_t>::max())
            return nullptr;
        const qint64 usec = (ms - sec * 1000) * 1000;
        return PlistPtr(plist_new_date(static_cast<int32_t>(sec), static_cast<int32_t>(usec)));
    }
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        PlistPtr array(plist_new_array());
        for (const QVariant& item : value.toList()) {
            PlistPtr child = fromVariant(item, depth + 1);
            if (!child)
                return nullptr;
            plist_array_append_item(array.get(), child.release());
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        PlistPtr dict(plist_new_dict());
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            PlistPtr child = fromVariant(it.value(), depth + 1);
            if (!child)
                return nullptr;
            plist_dict_set_item(dict.get(), it.key().toUtf8().constData(), child.release());
        }
        return dict;
    }
    default:
        return nullptr;
    }
}

} // namespace

std::optional<QVariant> parsePropertyList(const QByteArray& bytes) {
    if (binaryPlistHasKeyWithNul(bytes))
        return std::nullopt;
    const PlistPtr root(plistFromBytes(bytes));
    if (!root)
        return std::nullopt;
    return toVariant(root.get(), 0);
}

std::optional<QByteArray> serializeBinaryPropertyList(const QVariant& value) {
    const PlistPtr root = fromVariant(value, 0);
    if (!root)
        return std::nullopt;
    QByteArray bin = plistToBinary(root.get());
    if (bin.isEmpty())
        return std::nullopt;
    return bin;
}

} // namespace vantrel
