#pragma once

#include <optional>
#include <QString>

namespace vantrel {

// The per-user XDG autostart entry that starts one program at log-in.

// One argument of a desktop entry's Exec key: quoted when it holds a reserved character, with
// the escapes of the Desktop Entry Specification (quoting, then %%, then the string escapes).
QString execArgument(const QString& argument);

// The whole entry for the program at this absolute path; nothing when the path is not absolute
// or holds a control character that a desktop entry cannot carry.
std::optional<QString> autostartEntryText(const QString& name, const QString& executablePath);

} // namespace vantrel
