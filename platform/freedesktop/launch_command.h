#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// What a command line or an Exec line really starts, with the usual wrappers taken off:
// "env [options] [VAR=value…] command", "sh -c 'command'" (and bash, dash, zsh; a leading "exec"
// too) and "flatpak run [options] <id>", which gives the Flatpak application id rather than a
// program. Anything else gives its first word. Empty when nothing is left.
QString programOfCommand(const QStringList& arguments);

// The words of a shell-quoted line, such as an Exec value with the key file's escapes undone;
// nothing when the quoting is broken.
QStringList shellWords(const QString& line);

} // namespace vantrel
