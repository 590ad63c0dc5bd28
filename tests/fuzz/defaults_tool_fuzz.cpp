// vantrel-defaults' argument and value parsing: the input is its command line, one argument a
// line, run against a database in memory.
#include "platform/memory_defaults_database.h"
#include "platform/platform.h"
#include "tools/vantrel-defaults/defaults_tool.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    vantrel::MemoryDefaultsDatabase defaults;
    vantrel::platform().defaults = &defaults;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QStringList arguments = text.split(u'\n');
    QString output;
    QString errors;
    QTextStream out(&output);
    QTextStream err(&errors);
    // Twice: the second run reads what the first one wrote.
    (void)vantrel::runDefaultsTool(arguments, QStringLiteral("/fuzz/defaults.plist"), out, err);
    arguments.replace(0, QStringLiteral("read"));
    (void)vantrel::runDefaultsTool(arguments.mid(0, 2), QStringLiteral("/fuzz/defaults.plist"), out,
                                   err);
    return 0;
}
