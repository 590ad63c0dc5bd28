#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vantrel {

// The keyed-archive format of the platform's NSKeyedArchiver: a binary property list with
// $archiver "NSKeyedArchiver", $version 100000, $top {root: UID} and $objects starting with
// "$null". Reading is strict: anything that is not exactly the expected object graph gives nothing.

QByteArray archiveStringList(const QStringList& strings); // root: NSArray of NSString
QByteArray archiveString(const QString& string);          // root: NSString

std::optional<QStringList> unarchiveStringList(const QByteArray& archive);
std::optional<QString> unarchiveString(const QByteArray& archive);

} // namespace vantrel
