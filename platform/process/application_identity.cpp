#include "platform/process/application_identity.h"

#include <glib.h>
#include <memory>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

// systemd writes bytes outside its unit-name alphabet (and '-' inside an id) as "\xNN".
QString unescapeUnitName(const QString& name) {
    if (!name.contains(u"\\x"_s))
        return name;
    const QByteArray bytes = name.toUtf8();
    QByteArray result;
    result.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\\' && i + 3 < bytes.size() && bytes.at(i + 1) == 'x') {
            bool ok = false;
            const int value = bytes.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                result.append(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        result.append(bytes.at(i));
    }
    return QString::fromUtf8(result);
}

// A random part made of a UUID, as snapd and some launchers write it.
const QRegularExpression& uuidSuffix() {
    static const QRegularExpression suffix(
        u"[-.][0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}$"_s);
    return suffix;
}

QString withoutUuid(const QString& name) {
    const QRegularExpressionMatch match = uuidSuffix().match(name);
    return match.hasMatch() ? name.left(match.capturedStart()) : name;
}

// "<launcher>-<id>" or "<id>": every reading, the longest first.
QStringList readingsOfAppUnitBody(const QString& body) {
    QStringList readings;
    qsizetype from = 0;
    while (from < body.size()) {
        const QString id = unescapeUnitName(body.mid(from));
        if (!id.isEmpty() && !readings.contains(id))
            readings.append(id);
        const qsizetype dash = body.indexOf(u'-', from);
        if (dash < 0)
            break;
        from = dash + 1;
    }
    return readings;
}

QStringList idsOfAppUnit(QString unit) {
    unit.remove(0, 4); // "app-"
    if (unit.endsWith(u".scope"_s)) {
        unit.chop(6);
        // The random part is required here: the last dash-separated word, or a whole UUID.
        const QString stripped = withoutUuid(unit);
        if (stripped != unit) {
            unit = stripped;
        } else {
            const qsizetype dash = unit.lastIndexOf(u'-');
            if (dash <= 0)
                return {};
            unit.truncate(dash);
        }
    } else if (unit.endsWith(u".service"_s)) {
        unit.chop(8);
        const qsizetype at = unit.indexOf(u'@');
        if (at >= 0)
            unit.truncate(at);
    } else {
        return {};
    }
    return readingsOfAppUnitBody(unit);
}

QStringList idsOfSnapUnit(QString unit) {
    unit.remove(0, 5); // "snap."
    if (unit.endsWith(u".scope"_s))
        unit.chop(6);
    else if (unit.endsWith(u".service"_s))
        unit.chop(8);
    else
        return {};
    unit = withoutUuid(unit);
    const qsizetype dot = unit.indexOf(u'.');
    if (dot <= 0 || dot + 1 >= unit.size())
        return {};
    // A parallel install "<snap>_<key>" has the entries "<snap>+<key>_<app>".
    const QString snap = unescapeUnitName(unit.left(dot)).replace(u'_', u'+');
    const QString app = unescapeUnitName(unit.mid(dot + 1));
    // The app's own name may hold dashes, so a random part without a UUID cannot be told apart.
    QStringList ids;
    QString candidate = app;
    while (true) {
        ids.append(snap + u'_' + candidate);
        const qsizetype dash = candidate.lastIndexOf(u'-');
        if (dash <= 0)
            break;
        candidate.truncate(dash);
    }
    return ids;
}

const DesktopEntry* entryWithId(const QList<DesktopEntry>& entries, const QString& id) {
    for (const DesktopEntry& entry : entries) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

} // namespace

QList<UnitApplication> applicationsOfCgroup(const QString& cgroup) {
    // "hierarchy:controllers:path" lines; the unified hierarchy (0::) and systemd's own
    // (name=systemd) carry the unit names.
    QStringList paths;
    for (const QString& line : cgroup.split(u'\n')) {
        const qsizetype first = line.indexOf(u':');
        const qsizetype second = first < 0 ? -1 : line.indexOf(u':', first + 1);
        if (second < 0)
            continue;
        const QString controllers = line.mid(first + 1, second - first - 1);
        if (controllers.isEmpty() || controllers == u"name=systemd"_s)
            paths.append(line.mid(second + 1).trimmed());
    }
    QList<UnitApplication> applications;
    for (const QString& path : std::as_const(paths)) {
        const QStringList units = path.split(u'/', Qt::SkipEmptyParts);
        for (auto unit = units.crbegin(); unit != units.crend(); ++unit) {
            QStringList found;
            bool sandboxed = false;
            if (unit->startsWith(u"app-"_s)) {
                found = idsOfAppUnit(*unit);
                sandboxed = unit->startsWith(u"app-flatpak-"_s);
            } else if (unit->startsWith(u"snap."_s)) {
                found = idsOfSnapUnit(*unit);
                sandboxed = true;
            }
            for (const QString& id : std::as_const(found)) {
                const UnitApplication application{id, sandboxed};
                if (!applications.contains(application))
                    applications.append(application);
            }
        }
    }
    return applications;
}

QString flatpakApplicationId(const QString& flatpakInfo) {
    if (flatpakInfo.isEmpty())
        return {};
    const std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
    const QByteArray bytes = flatpakInfo.toUtf8();
    if (!g_key_file_load_from_data(file.get(), bytes.constData(), static_cast<gsize>(bytes.size()),
                                   G_KEY_FILE_NONE, nullptr))
        return {};
    gchar* name = g_key_file_get_string(file.get(), "Application", "name", nullptr);
    const QString id = QString::fromUtf8(name).trimmed();
    g_free(name);
    return id;
}

std::optional<DesktopEntry> identifyApplication(const ProcessFacts& process,
                                                const ApplicationHints& window,
                                                const QList<DesktopEntry>& entries) {
    ApplicationHints hints = window;
    hints.commandLine = process.commandLine;
    for (const UnitApplication& unit : applicationsOfCgroup(process.cgroup)) {
        const DesktopEntry* entry = entryWithId(entries, unit.id);
        if (entry == nullptr)
            continue;
        if (!unit.sandboxed) {
            // The command line is left out here: a wrapper script's would name nothing, and the
            // launcher's name is then the best there is.
            ApplicationHints ownHints = window;
            ownHints.commandLine.clear();
            const std::optional<DesktopEntry> named = matchDesktopEntry(ownHints, entries);
            if (named && named->id != entry->id)
                return named;
        }
        return *entry;
    }
    const QString flatpakId = flatpakApplicationId(process.flatpakInfo);
    if (!flatpakId.isEmpty()) {
        if (const DesktopEntry* entry = entryWithId(entries, flatpakId))
            return *entry;
    }
    return matchDesktopEntry(hints, entries);
}

} // namespace vantrel
