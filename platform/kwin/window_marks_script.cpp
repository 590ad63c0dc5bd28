#include "platform/kwin/window_marks_script.h"

#include <algorithm>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantrel::kwin {
namespace {

// A window counts as marked by us when it has all the marks: no window of a free application
// has them, whatever set them, so nothing needs remembering between scripts. An X11 window keeps
// its task-bar entry (an empty picture there): KWin would write the skip into its
// _NET_WM_STATE, where Vantrel itself reads whether the application is an ordinary one.
constexpr const char* scriptBody = R"js(
const marked = new Set(rules.markedWindows);
const free = new Set(rules.freeWindows);
const pendingProcesses = new Set(rules.pendingProcesses);
const lockedIds = new Set(rules.lockedApplicationIds);

function keysOf(window) {
    const keys = [String(window.internalId).replace(/[{}]/g, "")];
    if (window.windowId)
        keys.push("x11:" + window.windowId);
    return keys;
}

function applicationIdOf(window) {
    const id = String(window.desktopFileName || "");
    return id.endsWith(".desktop") ? id.slice(0, -8) : id;
}

function shouldMark(window) {
    const keys = keysOf(window);
    if (keys.some(key => marked.has(key)))
        return true;
    if (keys.some(key => free.has(key)))
        return false;
    return pendingProcesses.has(window.pid) || lockedIds.has(applicationIdOf(window));
}

function isMarked(window) {
    return window.opacity < 0.01 && window.skipSwitcher && window.skipPager &&
           (window.windowId || window.skipTaskbar);
}

function setMarks(window, on) {
    window.skipSwitcher = on;
    window.skipPager = on;
    if (!window.windowId)
        window.skipTaskbar = on;
    window.opacity = on ? 0 : 1;
}

function apply(window) {
    if (shouldMark(window))
        setMarks(window, true);
    else if (isMarked(window))
        setMarks(window, false);
}

function watch(window) {
    apply(window);
    // A Wayland client may name its application only after its window is mapped.
    if (window.desktopFileNameChanged)
        window.desktopFileNameChanged.connect(() => apply(window));
}

// KWin 6 renamed the client list and its signal.
function windowList() {
    return workspace.windowList ? workspace.windowList() : workspace.clientList();
}
windowList().forEach(watch);
(workspace.windowAdded || workspace.clientAdded).connect(watch);
// KWin gives the keyboard to the window it activates, over Vantrel's lock too (a click on a tile
// in the Overview activates): the keyboard goes back to Vantrel's prompt, the highest of its
// surfaces that take keys, as soon as KWin is done activating (doing it within the activation
// brings KWin down). A window activated before the prompt is up (as it opens) has its keyboard
// taken by the prompt as that comes.
function ownPrompt() {
    let prompt = null;
    for (const window of windowList()) {
        if (window.pid === rules.ownProcess && window.wantsInput &&
            (prompt === null || window.layer > prompt.layer))
            prompt = window;
    }
    return prompt;
}

const giveBack = new QTimer();
giveBack.singleShot = true;
giveBack.interval = 0;
giveBack.timeout.connect(() => {
    const prompt = ownPrompt();
    if (prompt !== null)
        workspace[workspace.activeWindow !== undefined ? "activeWindow" : "activeClient"] = prompt;
});

(workspace.windowActivated || workspace.clientActivated).connect(window => {
    if (window && isMarked(window))
        giveBack.start();
});
if (report.reportTo)
    callDBus(report.reportTo, report.path, report.interface, report.reportMethod,
             String(report.serial));
)js";

QJsonArray stringsOf(const QStringList& strings) {
    return QJsonArray::fromStringList(strings);
}

QString compact(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

WindowMarkRulesBuilder::WindowMarkRulesBuilder(const QList<WindowOwner>& pending,
                                               QStringList lockedApplicationIds) {
    m_rules.lockedApplicationIds = std::move(lockedApplicationIds);
    for (const WindowOwner& owner : pending) {
        if (!m_rules.pendingProcesses.contains(owner.processIdentifier))
            m_rules.pendingProcesses.append(owner.processIdentifier);
    }
}

void WindowMarkRulesBuilder::addWindow(const QString& key, bool pending,
                                       std::optional<qint64> processIdentifier,
                                       const QStringList& applicationIds) {
    if (pending) {
        m_rules.markedWindows.append(key);
        return;
    }
    const bool caught =
        (processIdentifier && m_rules.pendingProcesses.contains(*processIdentifier)) ||
        std::any_of(applicationIds.cbegin(), applicationIds.cend(), [this](const QString& id) {
            return m_rules.lockedApplicationIds.contains(id);
        });
    if (caught)
        m_rules.freeWindows.append(key);
}

WindowMarkRules WindowMarkRulesBuilder::rules() const {
    WindowMarkRules sorted = m_rules;
    std::sort(sorted.pendingProcesses.begin(), sorted.pendingProcesses.end());
    sorted.markedWindows.sort();
    sorted.freeWindows.sort();
    return sorted;
}

QString windowMarksScript(const WindowMarkRules& rules, const ScriptReport& report) {
    QJsonArray processes;
    for (const qint64 pid : rules.pendingProcesses)
        processes.append(pid);
    const QJsonObject facts{
        {QStringLiteral("ownProcess"), QCoreApplication::applicationPid()},
        {QStringLiteral("markedWindows"), stringsOf(rules.markedWindows)},
        {QStringLiteral("freeWindows"), stringsOf(rules.freeWindows)},
        {QStringLiteral("pendingProcesses"), processes},
        {QStringLiteral("lockedApplicationIds"), stringsOf(rules.lockedApplicationIds)}};
    const QJsonObject reportFacts{{QStringLiteral("reportTo"), report.reportTo},
                                  {QStringLiteral("path"), report.path},
                                  {QStringLiteral("interface"), report.interface},
                                  {QStringLiteral("reportMethod"), report.reportMethod},
                                  {QStringLiteral("serial"), report.serial}};
    // JSON is a JavaScript expression: the facts go in as data, never as code.
    return QStringLiteral("const rules = ") + compact(facts) +
           QStringLiteral(";\nconst report = ") + compact(reportFacts) + QStringLiteral(";\n") +
           QString::fromUtf8(scriptBody);
}

} // namespace vantrel::kwin
