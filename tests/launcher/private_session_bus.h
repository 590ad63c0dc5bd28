#pragma once

#include <QProcess>
#include <QString>

namespace vantrel::testing {

// A dbus-daemon of the test's own, so that tests need no session bus and never reach the
// user's.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Empty when the daemon did not start.
    const QString& address() const { return m_address; }
    QString failure() const { return m_failure; }

private:
    QProcess m_daemon;
    QString m_address;
    QString m_failure;
};

} // namespace vantrel::testing
