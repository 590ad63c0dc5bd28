// What a process tells of itself, read from /proc where a sandboxed program controls much of it:
// cgroup lines, a .flatpak-info file and a command line. The input is split at the first two NUL
// bytes into those three.
#include "platform/freedesktop/launch_command.h"
#include "platform/process/application_identity.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> parts = bytes.split('\0');
    vantrel::ProcessFacts facts;
    facts.cgroup = QString::fromUtf8(parts.value(0));
    facts.flatpakInfo = QString::fromUtf8(parts.value(1));
    for (const QByteArray& word : parts.mid(2))
        facts.commandLine.append(QString::fromUtf8(word));

    static const QList<vantrel::DesktopEntry> entries = [] {
        QList<vantrel::DesktopEntry> list;
        for (const char* id : {"org.example.App", "example_app", "gnome-terminal", "tool"}) {
            vantrel::DesktopEntry entry;
            entry.id = QString::fromLatin1(id);
            entry.name = entry.id;
            entry.execProgram = entry.id;
            list.append(entry);
        }
        return list;
    }();
    (void)vantrel::identifyApplication(facts, {}, entries);
    (void)vantrel::programOfCommand(vantrel::shellWords(facts.cgroup));
    return 0;
}
