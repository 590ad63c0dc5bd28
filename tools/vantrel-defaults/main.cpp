// vantrel-defaults: reads and changes Vantrel's settings from the command line.
#include "platform/linux/plist_defaults_database.h"
#include "platform/platform.h"
#include "tools/vantrel-defaults/defaults_tool.h"

#include <cstdio>
#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    vantrel::PlistDefaultsDatabase database(
        vantrel::PlistDefaultsDatabase::defaultFilePath(QStringLiteral("com.corvane.vantrel")));
    vantrel::platform().defaults = &database;
    QTextStream out(stdout);
    QTextStream err(stderr);
    return vantrel::runDefaultsTool(QCoreApplication::arguments().mid(1), database.filePath(), out,
                                    err);
}
