#pragma once

#include <QObject>

class QSocketNotifier;

namespace vantrel {

// SIGTERM and SIGINT, as a session ending or a service manager sends them, quit the event loop
// the ordinary way, so that what Vantrel leaves with the desktop (KWin's marks) is taken back.
// The handler only writes to a pipe; the quit happens on the main thread.
class TerminationSignals final : public QObject {
public:
    TerminationSignals();
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vantrel
