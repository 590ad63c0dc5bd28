#include "tools/vantrel-defaults/defaults_tool.h"

#include "platform/defaults_database.h"
#include "platform/keyed_archive.h"
#include "platform/platform.h"
#include "store/settings.h"
#include "tools/vantrel-defaults/value_text.h"

#include <optional>
#include <variant>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

namespace status = defaults_tool_status;

const QString kProgram = u"vantrel-defaults"_s;

struct ReadAll {};
struct ReadKey {
    QString key;
};
struct Write {
    QString key;
    QVariant value;
};
struct Delete {
    QString key;
};
struct Help {};
struct UsageError {
    QString reason;
};
using Command = std::variant<ReadAll, ReadKey, Write, Delete, Help, UsageError>;

const QStringList& flagKeys() {
    static const QStringList flags{keys::isActivateVTR, keys::isEnableFullscreenLockMode,
                                   keys::isShowRunningAppsOnly,
                                   keys::isLaunchAutomaticallyAtMacStartup, keys::isAppstoreRated};
    return flags;
}

const QStringList& listKeys() {
    static const QStringList lists{keys::savedIds, keys::customAppPaths};
    return lists;
}

std::optional<QString> keyProblem(const QString& key) {
    if (key.isEmpty())
        return u"the key is empty"_s;
    if (key.startsWith(u'-'))
        return u"unknown option '%1'"_s.arg(key);
    return std::nullopt;
}

std::optional<bool> parseBoolean(const QString& text) {
    const QString lower = text.toLower();
    if (lower == u"true"_s || lower == u"yes"_s || lower == u"1"_s)
        return true;
    if (lower == u"false"_s || lower == u"no"_s || lower == u"0"_s)
        return false;
    return std::nullopt;
}

// Known keys take only the type the program reads; anything else would read as the default.
std::optional<QString> typeProblem(const QString& key, const QString& type) {
    if (key == keys::applock)
        return u"applock holds the enciphered master password; set it in Vantrel's preferences"_s;
    if (flagKeys().contains(key) && type != u"-bool"_s)
        return u"%1 is a flag: use -bool true|false"_s.arg(key);
    if (listKeys().contains(key) && type != u"-array"_s)
        return u"%1 is a list: use -array ITEM..."_s.arg(key);
    return std::nullopt;
}

Command parseWrite(const QStringList& args) {
    if (args.size() < 2)
        return UsageError{u"write needs a key and a type (-bool, -string or -array)"_s};
    const QString& key = args[0];
    if (auto problem = keyProblem(key))
        return UsageError{*problem};
    const QString& type = args[1];
    const QStringList values = args.mid(2);
    if (type != u"-bool"_s && type != u"-string"_s && type != u"-array"_s)
        return UsageError{u"unknown type '%1': use -bool, -string or -array"_s.arg(type)};
    if (auto problem = typeProblem(key, type))
        return UsageError{*problem};
    if (type == u"-array"_s)
        return Write{key, QVariant(archiveStringList(values))};
    if (values.size() != 1)
        return UsageError{u"%1 takes exactly one value"_s.arg(type)};
    if (type == u"-string"_s)
        return Write{key, QVariant(values[0])};
    const std::optional<bool> flag = parseBoolean(values[0]);
    if (!flag)
        return UsageError{u"'%1' is not a boolean: use true or false"_s.arg(values[0])};
    return Write{key, QVariant(*flag)};
}

Command parse(const QStringList& arguments) {
    if (arguments.isEmpty())
        return UsageError{u"no command given"_s};
    const QString& command = arguments[0];
    const QStringList args = arguments.mid(1);
    if (command == u"--help"_s || command == u"-h"_s || command == u"help"_s)
        return args.isEmpty() ? Command{Help{}} : Command{UsageError{u"--help takes nothing"_s}};
    if (command == u"read"_s) {
        if (args.isEmpty())
            return ReadAll{};
        if (args.size() > 1)
            return UsageError{u"read takes at most one key"_s};
        if (auto problem = keyProblem(args[0]))
            return UsageError{*problem};
        return ReadKey{args[0]};
    }
    if (command == u"write"_s)
        return parseWrite(args);
    if (command == u"delete"_s) {
        if (args.size() != 1)
            return UsageError{u"delete takes exactly one key"_s};
        if (auto problem = keyProblem(args[0]))
            return UsageError{*problem};
        return Delete{args[0]};
    }
    return UsageError{u"unknown command '%1'"_s.arg(command)};
}

QString usageLines() {
    return u"Usage: %1 read [KEY]\n"
           "       %1 write KEY -bool true|false\n"
           "       %1 write KEY -string TEXT\n"
           "       %1 write KEY -array [ITEM...]\n"
           "       %1 delete KEY\n"
           "       %1 --help\n"_s.arg(kProgram);
}

QString helpText(const QString& filePath) {
    return u"%1 reads and changes Vantrel's settings.\n\n"_s.arg(kProgram) + usageLines() + uR"(
Commands:
  read            show every stored key and its value
  read KEY        show one value: a text as it is, a list one entry a line,
                  a flag as true or false
  write KEY ...   store a value under KEY, replacing what was there; -array
                  stores the items as a list (as Vantrel keeps its lists)
  delete KEY      remove KEY, so that Vantrel uses its default again

Vantrel's keys:
  isActivateVTR                       flag, locking as a whole (true when absent)
  isEnableFullscreenLockMode          flag, cover the whole screen (false when absent)
  isShowRunningAppsOnly               flag, add screen lists running applications only
  isLaunchAutomaticallyAtMacStartup   flag, start Vantrel at log-in
  isAppstoreRated                     flag, the rating prompt was answered
  savedIds                            list, ids of the locked applications
  customAppPaths                      list, applications added by hand
  applock                             the enciphered master password: read shows only
                                      whether one is set; delete removes it, so that
                                      Vantrel asks for a new one

Exit status: 0 on success, 1 when the key is not stored or the change could not
be written, 2 for bad arguments (nothing is written then).

Settings file: )"_s +
           filePath + u"\n"_s;
}

int usageError(const QString& reason, QTextStream& err) {
    err << kProgram << ": " << reason << '\n'
        << usageLines() << u"Try '%1 --help' for more.\n"_s.arg(kProgram);
    return status::usage;
}

void printValue(const QString& text, QTextStream& out) {
    if (!text.isEmpty())
        out << text << '\n';
}

int missingKey(const QString& key, QTextStream& err) {
    if (key == keys::applock)
        err << kProgram << ": no master password is set\n";
    else
        err << kProgram << ": no value is stored under " << key << '\n';
    return status::failure;
}

int writeFailed(const QString& filePath, QTextStream& err) {
    err << kProgram << ": could not write " << filePath << '\n';
    return status::failure;
}

} // namespace

int runDefaultsTool(const QStringList& arguments, const QString& filePath, QTextStream& out,
                    QTextStream& err) {
    DefaultsDatabase& database = *platform().defaults;
    const Command command = parse(arguments);
    int result = status::success;
    if (const auto* error = std::get_if<UsageError>(&command)) {
        result = usageError(error->reason, err);
    } else if (std::holds_alternative<Help>(command)) {
        out << helpText(filePath);
    } else if (std::holds_alternative<ReadAll>(command)) {
        out << listingText(database.allValues()) << '\n';
    } else if (const auto* read = std::get_if<ReadKey>(&command)) {
        const QVariant value = database.value(read->key);
        if (!value.isValid())
            result = missingKey(read->key, err);
        else
            printValue(valueTextForKey(read->key, value), out);
    } else if (const auto* write = std::get_if<Write>(&command)) {
        if (!database.setValue(write->key, write->value))
            result = writeFailed(filePath, err);
    } else if (const auto* remove = std::get_if<Delete>(&command)) {
        if (!database.value(remove->key).isValid())
            result = missingKey(remove->key, err);
        else if (!database.removeValue(remove->key))
            result = writeFailed(filePath, err);
    }
    out.flush();
    err.flush();
    return result;
}

} // namespace vantrel
