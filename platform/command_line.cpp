#include "platform/command_line.h"

#include <cstdio>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace vantrel {

CommandLineRequest parseCommandLine(const QStringList& arguments) {
    using Action = CommandLineRequest::Action;
    CommandLineRequest request;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--help"_s || argument == u"-h"_s) {
            request.action = Action::ShowHelp;
            return request; // help wins over whatever else is there
        }
        if (argument == u"--version"_s) {
            request.action = Action::ShowVersion;
            continue;
        }
        if (argument == u"-platform"_s || argument == u"--platform"_s) {
            if (++i >= arguments.size())
                return {Action::Misuse, u"option %1 needs a value"_s.arg(argument)};
            continue;
        }
        if (argument.startsWith(u'-'))
            return {Action::Misuse, u"unknown option %1"_s.arg(argument)};
        return {Action::Misuse, u"unexpected argument %1"_s.arg(argument)};
    }
    return request;
}

QString commandLineHelp(const QString& program, const QString& summary) {
    return u"Usage: %1 [--help] [--version]\n\n%2\n\n"
           u"Options:\n"
           u"  -h, --help     show this help and exit\n"
           u"      --version  show the version and exit\n"_s.arg(program, summary);
}

CommandLineAnswer answerCommandLine(int argc, char** argv, const QString& summary,
                                    const QString& version) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const QString program =
        arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
    const CommandLineRequest request = parseCommandLine(arguments);
    switch (request.action) {
    case CommandLineRequest::Action::Run:
        return {};
    case CommandLineRequest::Action::ShowHelp:
        std::fputs(qPrintable(commandLineHelp(program, summary)), stdout);
        return {true, 0};
    case CommandLineRequest::Action::ShowVersion:
        std::fputs(qPrintable(u"%1 %2\n"_s.arg(program, version)), stdout);
        return {true, 0};
    case CommandLineRequest::Action::Misuse:
        std::fputs(
            qPrintable(u"%1: %2\nUsage: %1 [--help] [--version]\n"_s.arg(program, request.problem)),
            stderr);
        return {true, 2};
    }
    return {};
}

} // namespace vantrel
