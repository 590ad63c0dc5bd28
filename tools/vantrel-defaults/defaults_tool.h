#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace vantrel {

// Exit statuses of vantrel-defaults.
namespace defaults_tool_status {
constexpr int success = 0;
constexpr int failure = 1; // a missing key, or a change the database refused
constexpr int usage = 2;   // bad arguments; nothing was written
} // namespace defaults_tool_status

// Runs one vantrel-defaults command line (the arguments after the program's name) against
// platform().defaults. filePath only names the database in messages and help.
int runDefaultsTool(const QStringList& arguments, const QString& filePath, QTextStream& out,
                    QTextStream& err);

} // namespace vantrel
