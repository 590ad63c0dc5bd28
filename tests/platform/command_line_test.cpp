#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using namespace Qt::StringLiterals;
using Action = CommandLineRequest::Action;

Action actionOf(const QStringList& arguments) {
    return parseCommandLine(QStringList{u"vantrel"_s} + arguments).action;
}

TEST(CommandLine, OnlyHelpVersionAndQtsPlatformAreRead) {
    EXPECT_EQ(actionOf({}), Action::Run);
    EXPECT_EQ(actionOf({u"-platform"_s, u"offscreen"_s}), Action::Run);
    EXPECT_EQ(actionOf({u"--help"_s}), Action::ShowHelp);
    EXPECT_EQ(actionOf({u"-h"_s}), Action::ShowHelp);
    EXPECT_EQ(actionOf({u"--version"_s}), Action::ShowVersion);
    EXPECT_EQ(actionOf({u"--version"_s, u"--help"_s}), Action::ShowHelp);
    EXPECT_EQ(actionOf({u"--help"_s, u"--bogus"_s}), Action::ShowHelp);

    for (const QStringList& misuse : {QStringList{u"--bogus"_s},
                                      {u"-x"_s},
                                      {u"file.txt"_s},
                                      {u"-platform"_s},
                                      {u"--version"_s, u"extra"_s},
                                      {u"--help=yes"_s},
                                      {u"-"_s},
                                      {u"--"_s}}) {
        const CommandLineRequest request = parseCommandLine(QStringList{u"vantrel"_s} + misuse);
        EXPECT_EQ(request.action, Action::Misuse) << misuse.join(u' ').toStdString();
        EXPECT_FALSE(request.problem.isEmpty());
    }
    EXPECT_EQ(parseCommandLine({u"vantrel"_s, u"--frobnicate"_s}).problem,
              u"unknown option --frobnicate"_s);
}

TEST(CommandLine, HelpNamesTheProgramAndItsOptions) {
    const QString help = commandLineHelp(u"vantrel"_s, u"Locks applications."_s);
    EXPECT_TRUE(help.startsWith(u"Usage: vantrel [--help] [--version]\n"_s));
    EXPECT_TRUE(help.contains(u"Locks applications."_s));
    EXPECT_TRUE(help.contains(u"--version"_s));
}

} // namespace
} // namespace vantrel
