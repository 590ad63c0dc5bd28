#pragma once

#include <optional>
#include <QByteArray>
#include <QVariant>

namespace vantrel {

// Property lists in memory as QVariant trees: bool, qint64 (or quint64 beyond its range), double,
// QString, QByteArray (data), QDateTime, QVariantList (array) and QVariantMap (dict).

// Parses a binary or XML property list. Nothing when the bytes are not a property list, or hold a
// value with no QVariant form (such as a keyed-archive UID).
std::optional<QVariant> parsePropertyList(const QByteArray& bytes);

// The binary property-list form of a value; nothing when the tree holds a value of another type.
std::optional<QByteArray> serializeBinaryPropertyList(const QVariant& value);

} // namespace vantrel
