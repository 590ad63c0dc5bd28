#pragma once

#include "platform/kwin/window_marks_script.h"

#include <memory>
#include <optional>
#include <QDBusConnection>
#include <QObject>
#include <QTimer>

namespace vantrel::kwin {

// Keeps the windows of locked applications out of KWin's views, on Plasma's Wayland session and
// its X11 one alike, by KWin scripts loaded over the session bus. Each change of the rules loads
// a new script; the one before is unloaded only once the new one has reported that it ran (KWin
// reads a script's file in the background), so that some script always watches for new windows.
// Quitting loads a script that unmarks every window, from a file left for KWin to read.
class KWinWindowMarks final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvane.vantrel.KWinWindowMarks")

public:
    // Nothing when KWin's scripting does not answer on the bus. Blocks for one call: make it
    // before the event loop runs.
    static std::unique_ptr<KWinWindowMarks>
    connect(const QDBusConnection& bus = QDBusConnection::sessionBus());
    ~KWinWindowMarks() override;

    // From the next script on; a change made while a script is on its way waits for it.
    void apply(const WindowMarkRules& rules);

    // Where the scripts are written.
    const QString& scriptFolder() const { return m_folder; }

public Q_SLOTS:
    // Called by each script once it has run.
    Q_SCRIPTABLE void scriptRan(const QString& serial);

private:
    KWinWindowMarks(const QDBusConnection& bus, QString folder);
    void loadNext();
    void finishLoad(int serial);
    QString scriptName(int serial) const;
    QString scriptPath(int serial) const;
    void unload(int serial);

    QDBusConnection m_bus;
    QString m_folder;
    std::optional<WindowMarkRules> m_wanted; // not yet sent
    std::optional<WindowMarkRules> m_sent;
    int m_serial = 0;
    int m_loading = 0; // the serial on its way; 0 for none
    int m_running = 0; // the serial known to run; 0 for none
    QTimer m_nextLoad;
    QTimer m_reportTimeout;
};

} // namespace vantrel::kwin
