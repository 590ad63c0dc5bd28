#pragma once

#include "platform/window_list.h"

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

namespace vantrel::kwin {

// Which windows KWin's own views (the Overview, Present Windows, the Alt+Tab switcher, the task
// manager) must not show. A window is named by its key: KWin's internal id without braces (what
// Plasma's window management calls its uuid), or "x11:" and its X11 window id in decimal.
struct WindowMarkRules {
    QStringList markedWindows; // windows of applications waiting for the password
    QStringList freeWindows;   // windows known to belong to no such application
    // A window named in neither list is new to Vantrel: it is marked when its process has an
    // application waiting, or its desktop-file id is locked, until Vantrel has seen it.
    QList<qint64> pendingProcesses;
    QStringList lockedApplicationIds;

    friend bool operator==(const WindowMarkRules&, const WindowMarkRules&) = default;
};

// The rules from one desktop's windows: the waiting applications and the locked ids first, then
// each window Vantrel knows, whatever the desktop calls it.
class WindowMarkRulesBuilder {
public:
    WindowMarkRulesBuilder(const QList<WindowOwner>& pending, QStringList lockedApplicationIds);
    // A free window is listed only where the script's rules for new windows would mark it: with
    // nothing locked, the rules stay the same as windows come and go.
    void addWindow(const QString& key, bool pending, std::optional<qint64> processIdentifier,
                   const QStringList& applicationIds);
    WindowMarkRules rules() const;

private:
    WindowMarkRules m_rules;
};

// A KWin script that marks the windows the rules name (skipped by the switcher, the pager and the
// task bar, and fully transparent, so that views that list every window show no content), marks
// new windows by the same rules as they come, and unmarks windows it marked before that the rules
// no longer name. Runs on KWin 5.27's scripting API and KWin 6's. Once it has run, it calls
// reportMethod with the serial, as a string, on the bus name reportTo, unless that is empty.
struct ScriptReport {
    QString reportTo;
    QString path;
    QString interface;
    QString reportMethod;
    int serial = 0;
};
QString windowMarksScript(const WindowMarkRules& rules, const ScriptReport& report = {});

} // namespace vantrel::kwin
