#include "platform/freedesktop/autostart_entry.h"

#include <algorithm>
#include <QDir>

namespace vantrel {

namespace {

bool isReservedInExec(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// The escapes every string value gets, applied last because readers undo them first.
QString escapeStringValue(const QString& value) {
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    // A leading space would be taken for the space after '='.
    if (escaped.startsWith(u' '))
        escaped.replace(0, 1, QStringLiteral("\\s"));
    return escaped;
}

bool hasUnwritableControlCharacter(const QString& value) {
    for (const QChar c : value) {
        const char16_t code = c.unicode();
        if ((code < 0x20 && code != u'\n' && code != u'\t' && code != u'\r') || code == 0x7f)
            return true;
    }
    return false;
}

} // namespace

QString execArgument(const QString& argument) {
    QString quoted;
    if (std::any_of(argument.begin(), argument.end(), isReservedInExec) || argument.isEmpty()) {
        quoted += u'"';
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        quoted += u'"';
    } else {
        quoted = argument;
    }
    quoted.replace(u'%', QStringLiteral("%%"));
    return escapeStringValue(quoted);
}

std::optional<QString> autostartEntryText(const QString& name, const QString& executablePath) {
    if (!QDir::isAbsolutePath(executablePath) || hasUnwritableControlCharacter(executablePath) ||
        hasUnwritableControlCharacter(name))
        return std::nullopt;
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.5\n");
    text += QStringLiteral("Name=") + escapeStringValue(name) + u'\n';
    text += QStringLiteral("Exec=") + execArgument(executablePath) + u'\n';
    // The session skips the entry quietly once the program has been removed.
    text += QStringLiteral("TryExec=") + escapeStringValue(executablePath) + u'\n';
    text += QStringLiteral("Terminal=false\n"
                           "NoDisplay=true\n"
                           "X-GNOME-Autostart-enabled=true\n");
    return text;
}

} // namespace vantrel
