#include "platform/keyed_archive.h"

#include "platform/plist_io.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <plist/plist.h>

namespace vantrel {

namespace {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

constexpr uint64_t kArchiveVersion = 100000;

PlistPtr newString(const QString& s) {
    return PlistPtr(plist_new_string(s.toUtf8().constData()));
}

// objects holds "$null" and the root's object graph; the root is always object 1.
QByteArray finishArchive(PlistPtr objects) {
    PlistPtr root(plist_new_dict());
    plist_dict_set_item(root.get(), "$archiver", plist_new_string("NSKeyedArchiver"));
    plist_dict_set_item(root.get(), "$version", plist_new_uint(kArchiveVersion));
    plist_t top = plist_new_dict();
    plist_dict_set_item(top, "root", plist_new_uid(1));
    plist_dict_set_item(root.get(), "$top", top);
    plist_dict_set_item(root.get(), "$objects", objects.release());

    return plistToBinary(root.get());
}

bool isString(plist_t node) {
    return node != nullptr && plist_get_node_type(node) == PLIST_STRING;
}

bool stringEquals(plist_t node, const char* expected) {
    if (!isString(node))
        return false;
    uint64_t length = 0;
    const char* p = plist_get_string_ptr(node, &length);
    return p != nullptr && length == std::strlen(expected) && std::memcmp(p, expected, length) == 0;
}

QString stringValue(plist_t node) {
    uint64_t length = 0;
    const char* p = plist_get_string_ptr(node, &length);
    if (p == nullptr || length > static_cast<uint64_t>(std::numeric_limits<qsizetype>::max()))
        return {};
    return QString::fromUtf8(p, static_cast<qsizetype>(length));
}

// The parsed archive with its object table checked for the fixed header fields.
class Archive {
public:
    explicit Archive(const QByteArray& bytes) {
        m_root.reset(plistFromBytes(bytes));
        if (!m_root || plist_get_node_type(m_root.get()) != PLIST_DICT)
            return;
        if (!stringEquals(plist_dict_get_item(m_root.get(), "$archiver"), "NSKeyedArchiver"))
            return;
        plist_t objects = plist_dict_get_item(m_root.get(), "$objects");
        if (objects == nullptr || plist_get_node_type(objects) != PLIST_ARRAY)
            return;
        m_count = plist_array_get_size(objects);
        if (m_count == 0 || !stringEquals(plist_array_get_item(objects, 0), "$null"))
            return;
        m_objects = objects;
        plist_t top = plist_dict_get_item(m_root.get(), "$top");
        if (top == nullptr || plist_get_node_type(top) != PLIST_DICT)
            return;
        m_rootObject = resolve(plist_dict_get_item(top, "root"));
    }

    plist_t rootObject() const { return m_rootObject; }

    // The object a UID names, or null for a non-UID, an out-of-range index or "$null".
    plist_t resolve(plist_t uid) const {
        if (m_objects == nullptr || uid == nullptr || plist_get_node_type(uid) != PLIST_UID)
            return nullptr;
        uint64_t index = 0;
        plist_get_uid_val(uid, &index);
        if (index == 0 || index >= m_count)
            return nullptr;
        return plist_array_get_item(m_objects, static_cast<uint32_t>(index));
    }

    bool hasClass(plist_t object, const char* name1, const char* name2) const {
        plist_t cls = resolve(plist_dict_get_item(object, "$class"));
        if (cls == nullptr || plist_get_node_type(cls) != PLIST_DICT)
            return false;
        plist_t name = plist_dict_get_item(cls, "$classname");
        return stringEquals(name, name1) || stringEquals(name, name2);
    }

    // A string object: a plain plist string or an NSString dictionary holding one.
    std::optional<QString> stringObject(plist_t object) const {
        if (isString(object))
            return stringValue(object);
        if (object == nullptr || plist_get_node_type(object) != PLIST_DICT)
            return std::nullopt;
        plist_t inner = plist_dict_get_item(object, "NS.string");
        if (!isString(inner) || !hasClass(object, "NSString", "NSMutableString"))
            return std::nullopt;
        return stringValue(inner);
    }

private:
    PlistPtr m_root;
    plist_t m_objects = nullptr;
    uint32_t m_count = 0;
    plist_t m_rootObject = nullptr;
};

} // namespace

QByteArray archiveStringList(const QStringList& strings) {
    PlistPtr objects(plist_new_array());
    plist_array_append_item(objects.get(), plist_new_string("$null"));

    const uint64_t firstString = 2;
    const uint64_t classIndex = firstString + static_cast<uint64_t>(strings.size());
    plist_t arrayObject = plist_new_dict();
    plist_t members = plist_new_array();
    for (qsizetype i = 0; i < strings.size(); ++i)
        plist_array_append_item(members, plist_new_uid(firstString + static_cast<uint64_t>(i)));
    plist_dict_set_item(arrayObject, "NS.objects", members);
    plist_dict_set_item(arrayObject, "$class", plist_new_uid(classIndex));
    plist_array_append_item(objects.get(), arrayObject);

    for (const QString& s : strings)
        plist_array_append_item(objects.get(), newString(s).release());

    plist_t cls = plist_new_dict();
    plist_dict_set_item(cls, "$classname", plist_new_string("NSArray"));
    plist_t classes = plist_new_array();
    plist_array_append_item(classes, plist_new_string("NSArray"));
    plist_array_append_item(classes, plist_new_string("NSObject"));
    plist_dict_set_item(cls, "$classes", classes);
    plist_array_append_item(objects.get(), cls);

    return finishArchive(std::move(objects));
}

QByteArray archiveString(const QString& string) {
    PlistPtr objects(plist_new_array());
    plist_array_append_item(objects.get(), plist_new_string("$null"));
    plist_array_append_item(objects.get(), newString(string).release());
    return finishArchive(std::move(objects));
}

std::optional<QStringList> unarchiveStringList(const QByteArray& archive) {
    const Archive parsed(archive);
    plist_t object = parsed.rootObject();
    if (object == nullptr || plist_get_node_type(object) != PLIST_DICT)
        return std::nullopt;
    if (!parsed.hasClass(object, "NSArray", "NSMutableArray"))
        return std::nullopt;
    plist_t members = plist_dict_get_item(object, "NS.objects");
    if (members == nullptr || plist_get_node_type(members) != PLIST_ARRAY)
        return std::nullopt;

    QStringList result;
    const uint32_t n = plist_array_get_size(members);
    for (uint32_t i = 0; i < n; ++i) {
        auto s = parsed.stringObject(parsed.resolve(plist_array_get_item(members, i)));
        if (!s)
            return std::nullopt;
        result.append(std::move(*s));
    }
    return result;
}

std::optional<QString> unarchiveString(const QByteArray& archive) {
    const Archive parsed(archive);
    return parsed.stringObject(parsed.rootObject());
}

} // namespace vantrel
