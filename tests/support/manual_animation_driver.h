#pragma once

#include <QAnimationDriver>
#include <QCoreApplication>

namespace vantrel::testing {

// Drives Qt's animations from a clock the test moves, so that no animation progresses in real
// time. Installed for the life of the object.
class ManualAnimationDriver final : public QAnimationDriver {
public:
    ManualAnimationDriver() { install(); }
    ~ManualAnimationDriver() override { uninstall(); }

    qint64 elapsed() const override { return m_elapsed; }

    void advanceBy(int milliseconds) {
        // Animations started since the last step join the timer through queued calls, the first
        // of which queues the second.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        m_elapsed += milliseconds;
        QAnimationDriver::advance();
    }

private:
    qint64 m_elapsed = 0;
};

} // namespace vantrel::testing
