// Feeds arbitrary bytes to the desktop entry reader: the key file, Exec's quoting and its
// wrappers, and the menus' filters.
#include "platform/freedesktop/desktop_entry_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const vantrel::DesktopFileReading reading =
        vantrel::parseDesktopFile(bytes, QStringLiteral("/fuzz/org.example.Fuzz.desktop"));
    if (reading.kind == vantrel::DesktopFileReading::Kind::Application) {
        (void)vantrel::isOfferedInMenus(reading.entry, {QStringLiteral("GNOME")},
                                        [](const QString& program) { return program.size() % 2; });
    }
    return 0;
}
