// Test helper: stores a master password, enciphered as Vantrel stores it, in Vantrel's defaults
// file of this environment ($XDG_CONFIG_HOME). Usage: vantrel-e2e-set-password PASSWORD
#include "platform/linux/plist_defaults_database.h"
#include "platform/platform.h"
#include "store/master_password.h"

#include <cstdio>
#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: vantrel-e2e-set-password PASSWORD\n", stderr);
        return 2;
    }
    vantrel::PlistDefaultsDatabase database(
        vantrel::PlistDefaultsDatabase::defaultFilePath(QStringLiteral("com.corvane.vantrel")));
    vantrel::platform().defaults = &database;
    if (!vantrel::writeMasterPassword(arguments.at(1))) {
        std::fputs("vantrel-e2e-set-password: the password was not stored\n", stderr);
        return 1;
    }
    return 0;
}
