#include "platform/freedesktop/desktop_entry_match.h"

#include "platform/freedesktop/launch_command.h"

#include <QFileInfo>

namespace vantrel {

namespace {

using namespace Qt::StringLiterals;

// The first entry that passes, displayed entries before hidden ones.
template <typename Predicate>
const DesktopEntry* firstPreferred(const QList<DesktopEntry>& entries, Predicate passes) {
    const DesktopEntry* hiddenMatch = nullptr;
    for (const DesktopEntry& entry : entries) {
        if (!passes(entry)) {
            continue;
        }
        if (!entry.noDisplay) {
            return &entry;
        }
        if (hiddenMatch == nullptr) {
            hiddenMatch = &entry;
        }
    }
    return hiddenMatch;
}

const DesktopEntry* entryWithId(const QList<DesktopEntry>& entries, const QString& id) {
    if (id.isEmpty()) {
        return nullptr;
    }
    for (const DesktopEntry& entry : entries) {
        if (entry.id == id) {
            return &entry;
        }
    }
    return nullptr;
}

QString withoutDesktopSuffix(QString id) {
    if (id.endsWith(u".desktop"_s)) {
        id.chop(8);
    }
    return id;
}

QString canonicalWindowClass(const QString& windowClass) {
    return windowClass.toLower().replace(u' ', u'-');
}

QString baseName(const QString& program) {
    return QFileInfo(program).fileName();
}

} // namespace

std::optional<DesktopEntry> matchDesktopEntry(const ApplicationHints& hints,
                                              const QList<DesktopEntry>& entries) {
    auto found = [](const DesktopEntry* entry) -> std::optional<DesktopEntry> {
        if (entry == nullptr) {
            return std::nullopt;
        }
        return *entry;
    };

    for (const QString& applicationId : {hints.kdeDesktopFile, hints.gtkApplicationId}) {
        if (const DesktopEntry* entry = entryWithId(entries, withoutDesktopSuffix(applicationId))) {
            return found(entry);
        }
    }

    const QString windowClasses[] = {hints.classInstance, hints.className};
    for (const QString& windowClass : windowClasses) {
        if (windowClass.isEmpty()) {
            continue;
        }
        if (const DesktopEntry* entry = firstPreferred(
                entries, [&](const DesktopEntry& e) { return e.startupWMClass == windowClass; })) {
            return found(entry);
        }
    }
    for (const QString& windowClass : windowClasses) {
        if (const DesktopEntry* entry = entryWithId(entries, windowClass)) {
            return found(entry);
        }
        if (const DesktopEntry* entry = entryWithId(entries, canonicalWindowClass(windowClass))) {
            return found(entry);
        }
    }

    const QString programPath = programOfCommand(hints.commandLine);
    if (programPath.isEmpty()) {
        return std::nullopt;
    }
    const QString programName = baseName(programPath);
    const auto execIs = [&](const QString& program) {
        return [&program](const DesktopEntry& e) {
            return !e.execProgram.isEmpty() && e.execProgram == program;
        };
    };
    if (const DesktopEntry* entry = firstPreferred(entries, execIs(programPath))) {
        return found(entry);
    }
    if (const DesktopEntry* entry = firstPreferred(entries, execIs(programName))) {
        return found(entry);
    }
    // Exec=/opt/tool/bin/tool started as plain "tool" from the path, or the other way round.
    return found(firstPreferred(entries, [&](const DesktopEntry& e) {
        return !e.execProgram.isEmpty() && !programName.isEmpty() &&
               baseName(e.execProgram) == programName;
    }));
}

} // namespace vantrel
