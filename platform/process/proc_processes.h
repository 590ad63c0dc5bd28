#pragma once

#include "platform/bundle_info.h"

#include <optional>
#include <QList>
#include <QString>

namespace vantrel {

// One process whose executable lies in a bundle (…/NAME.app/Contents/MacOS/…).
struct BundledProcess {
    qint64 pid = 0;
    quint64 startTime = 0;  // clock ticks after boot: tells a reused pid apart
    QString executablePath; // without the " (deleted)" of a replaced executable
    BundleInfo bundle;
    // The session bus the process was started on (sessionBusKey); nothing when its environment
    // cannot be read.
    std::optional<QString> sessionBus;
};

// The processes of this user under procRoot (normally /proc) that run an executable of a
// bundle. Processes that end or change while they are looked at are left out.
QList<BundledProcess> scanBundledProcesses(const QString& procRoot);

// The start time of a process; nothing when there is no such process (any more) or it has
// ended and waits to be collected.
std::optional<quint64> processStartTime(const QString& procRoot, qint64 pid);

// Which session bus the variables DBUS_SESSION_BUS_ADDRESS and XDG_RUNTIME_DIR lead to, in a
// form that is equal for two processes on the same bus; empty when they lead to none.
QString sessionBusKey(const QString& busAddress, const QString& runtimeDirectory);

// The session bus key of this process.
QString ownSessionBusKey();

} // namespace vantrel
