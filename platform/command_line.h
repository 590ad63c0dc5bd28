#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

// What a program was asked on its command line. Only --help (-h) and --version are read; Qt's
// own "-platform NAME" is left for Qt. Anything else is a misuse.
struct CommandLineRequest {
    enum class Action { Run, ShowHelp, ShowVersion, Misuse };
    Action action = Action::Run;
    QString problem; // for Misuse: what was wrong
};

CommandLineRequest parseCommandLine(const QStringList& arguments);

// What --help prints: usage, what the program does, the options.
QString commandLineHelp(const QString& program, const QString& summary);

// Answers --help and --version on standard output (0), a misuse with the usage on standard error
// (2); nothing when the program is to run. Before any QCoreApplication: it needs no display.
struct CommandLineAnswer {
    bool answered = false;
    int exitStatus = 0;
};
CommandLineAnswer answerCommandLine(int argc, char** argv, const QString& summary,
                                    const QString& version);

} // namespace vantrel
