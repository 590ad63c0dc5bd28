#include "platform/freedesktop/launch_command.h"

#include <glib.h>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace vantrel {

namespace {

// Wrappers inside wrappers are rare; a bound keeps a hostile line from recursing for long.
constexpr int kMaximumDepth = 8;

bool isAssignment(const QString& word) {
    static const QRegularExpression assignment(u"^[A-Za-z_][A-Za-z0-9_]*="_s);
    return assignment.match(word).hasMatch();
}

bool isShell(const QString& program) {
    static const QStringList shells = {u"sh"_s, u"bash"_s, u"dash"_s, u"zsh"_s};
    return shells.contains(QFileInfo(program).fileName());
}

// A Flatpak application id: at least three dot-separated parts of letters, digits, '_' and '-'.
bool isFlatpakId(const QString& word) {
    static const QRegularExpression id(u"^[A-Za-z_][\\w-]*(\\.[A-Za-z_][\\w-]*){2,}$"_s);
    return id.match(word).hasMatch();
}

QString programOf(QStringList words, int depth);

// env [-i] [-0] [-u NAME] [-C DIR] [-S STRING] [--] [NAME=VALUE…] [COMMAND [ARG…]]
QString programAfterEnv(QStringList words, int depth) {
    if (depth > kMaximumDepth)
        return {};
    words.removeFirst();
    while (!words.isEmpty()) {
        const QString word = words.first();
        if (word == u"--"_s) {
            words.removeFirst();
            break;
        }
        if (word == u"-S"_s || word == u"--split-string"_s) {
            words.removeFirst();
            if (words.isEmpty())
                return {};
            return programAfterEnv(QStringList{u"env"_s} + shellWords(words.first()) + words.mid(1),
                                   depth + 1);
        }
        if (word.startsWith(u"--split-string="_s))
            return programAfterEnv(QStringList{u"env"_s} + shellWords(word.mid(15)) + words.mid(1),
                                   depth + 1);
        if (word == u"-u"_s || word == u"-C"_s || word == u"--unset"_s || word == u"--chdir"_s) {
            words.remove(0, std::min<qsizetype>(2, words.size()));
            continue;
        }
        if (word.startsWith(u'-')) { // other options, and "-" for -i
            words.removeFirst();
            continue;
        }
        break;
    }
    while (!words.isEmpty() && isAssignment(words.first()))
        words.removeFirst();
    return programOf(words, depth + 1);
}

// sh [options] -c 'COMMAND' [NAME [ARG…]]
QString programAfterShell(const QStringList& words, int depth) {
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words.at(i);
        if (!word.startsWith(u'-'))
            break; // a script file: what it starts is not on the line
        // -c may be joined with other single-letter options: "-ec", "-lc".
        if (!word.startsWith(u"--"_s) && word.contains(u'c')) {
            if (i + 1 >= words.size())
                return {};
            QStringList inner = shellWords(words.at(i + 1));
            while (!inner.isEmpty() && (inner.first() == u"exec"_s || isAssignment(inner.first())))
                inner.removeFirst();
            return programOf(inner, depth + 1);
        }
    }
    return words.first();
}

// flatpak run [options] ID [ARG…]; options take their values joined with '='.
QString programAfterFlatpakRun(const QStringList& words) {
    for (qsizetype i = 2; i < words.size(); ++i) {
        if (isFlatpakId(words.at(i)))
            return words.at(i);
        if (!words.at(i).startsWith(u'-'))
            break;
    }
    return words.first();
}

QString programOf(QStringList words, int depth) {
    if (words.isEmpty() || depth > kMaximumDepth)
        return {};
    const QString program = QFileInfo(words.first()).fileName();
    if (program == u"env"_s)
        return programAfterEnv(std::move(words), depth);
    if (isShell(words.first()))
        return programAfterShell(words, depth);
    if (program == u"flatpak"_s && words.size() > 2 && words.at(1) == u"run"_s)
        return programAfterFlatpakRun(words);
    return words.first();
}

} // namespace

QStringList shellWords(const QString& line) {
    const QByteArray bytes = line.toUtf8();
    if (bytes.trimmed().isEmpty())
        return {};
    gint count = 0;
    gchar** words = nullptr;
    if (!g_shell_parse_argv(bytes.constData(), &count, &words, nullptr))
        return {};
    QStringList result;
    for (gint i = 0; i < count; ++i)
        result.append(QString::fromUtf8(words[i]));
    g_strfreev(words);
    return result;
}

QString programOfCommand(const QStringList& arguments) {
    return programOf(arguments, 0);
}

} // namespace vantrel
