#include "platform/process/detached_process_launcher.h"

#include <QDir>
#include <QProcess>

namespace vantrel {

bool DetachedProcessLauncher::launchApplication(const QString& executablePath) {
    // A relative path would be looked up in PATH or the working folder: not what was asked.
    if (!QDir::isAbsolutePath(executablePath))
        return false;
    return QProcess::startDetached(executablePath, {}, QDir::homePath());
}

} // namespace vantrel
