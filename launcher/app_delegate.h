#pragma once

#include <QObject>
#include <QString>

namespace vantrel::login_launcher {

// VantrelHelper's delegate: starts Vantrel unless it already runs, then waits for Vantrel's quit
// notification. It shows no window. The services come from platform(): workspace,
// notifications and applicationLauncher.
class AppDelegate final : public QObject {
    Q_OBJECT

public:
    // Ends with this code when there is no Vantrel to start: the launcher is not where the
    // bundle layout puts it.
    static constexpr int misplacedExitCode = 1;

    // ownBundlePath: the launcher's bundle, …/Vantrel.app/Contents/Library/LoginItems/
    // VantrelHelper.app when installed.
    explicit AppDelegate(QString ownBundlePath, QObject* parent = nullptr);

    // Once, from the running event loop: quitting before it runs would be lost.
    void applicationDidFinishLaunching();
    void applicationWillTerminate() {}
    void terminate();

Q_SIGNALS:
    // Asks the application object to end with this exit code.
    void terminateRequested(int exitCode);

private:
    QString m_ownBundlePath;
};

} // namespace vantrel::login_launcher
