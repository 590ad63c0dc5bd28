#pragma once

#include <QString>
#include <QVariant>

namespace vantrel {

// How vantrel-defaults shows stored values. Lists kept as keyed archives show their entries;
// "applock" shows only whether a master password is set.

// One key's value alone, for `read KEY`: texts as they are, a list one entry a line, booleans
// as true/false, anything else in the property-list text form of the listing.
QString valueTextForKey(const QString& key, const QVariant& value);

// The whole database as a property-list text: { key = value; ... } with texts quoted.
QString listingText(const QVariantMap& values);

} // namespace vantrel
