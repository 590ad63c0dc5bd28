#include "tests/doubles/platform_doubles.h"

#include <algorithm>

namespace vantrel::testing {

bool InMemoryDefaults::setValue(const QString& key, const QVariant& value) {
    ++writeCount;
    if (refusesWrites)
        return false;
    if (!value.isValid()) {
        m_values.remove(key);
    } else {
        m_values.insert(key, value);
    }
    return true;
}

bool InMemoryDefaults::removeValue(const QString& key) {
    ++writeCount;
    if (refusesWrites)
        return false;
    m_values.remove(key);
    return true;
}

bool FakeRunningApplication::hide() {
    ++hideRequests;
    if (hidesWhenAsked) {
        hidden = true;
    }
    return true;
}

std::shared_ptr<FakeRunningApplication>
makeFakeApplication(std::optional<QString> identifier, qint64 pid, std::optional<QString> name) {
    auto application = std::make_shared<FakeRunningApplication>();
    application->identifier = std::move(identifier);
    application->pid = pid;
    application->name = std::move(name);
    return application;
}

void FakeWorkspace::activateSelf(QWindow* keyWindow) {
    ++activationCount;
    lastKeyWindow = keyWindow;
}

bool FakeWorkspace::grabKeyboard(QWindow* window) {
    if (keyboardTaken)
        return false;
    keyboardGrabbedBy = window;
    return true;
}

void FakeWorkspace::launch(const RunningApplicationList& launched) {
    applications.append(launched);
    Q_EMIT runningApplicationsChanged(RunningApplicationsChange{launched});
}

void FakeWorkspace::terminate(const RunningApplicationRef& application) {
    if (auto* fake = dynamic_cast<FakeRunningApplication*>(application.get())) {
        fake->terminated = true;
    }
    applications.removeAll(application);
    Q_EMIT runningApplicationsChanged(RunningApplicationsChange{});
}

void FakeWorkspace::activate(const RunningApplicationRef& application) {
    Q_EMIT applicationActivated(application);
}

void ManualDelayedPerform::perform(std::chrono::milliseconds delay, const QObject* context,
                                   std::function<void()> action) {
    requestedDelays.push_back(delay);
    m_pending.push_back(Pending{m_now + delay, m_sequence++, const_cast<QObject*>(context),
                                context != nullptr, std::move(action)});
}

void ManualDelayedPerform::advance(std::chrono::milliseconds by) {
    const auto target = m_now + by;
    for (;;) {
        // Actions may schedule further actions; always take the earliest one due.
        auto next = std::min_element(
            m_pending.begin(), m_pending.end(), [](const Pending& a, const Pending& b) {
                return a.due != b.due ? a.due < b.due : a.sequence < b.sequence;
            });
        if (next == m_pending.end() || next->due > target) {
            break;
        }
        Pending due = std::move(*next);
        m_pending.erase(next);
        m_now = due.due;
        if (!due.hadContext || !due.context.isNull()) {
            due.action();
        }
    }
    m_now = target;
}

int ScriptedAlerts::runModal(const AlertRequest& request) {
    shown.append(request);
    if (nextAnswers.empty()) {
        return FirstButtonReturn;
    }
    const int answer = nextAnswers.front();
    nextAnswers.pop_front();
    return answer;
}

void RecordingNotificationCenter::post(const QString& name, const QString& object) {
    posted.append(Posted{name, object});
    // Delivered in this process too, as the session bus would.
    const auto observers = m_observers;
    for (const Observer& observer : observers) {
        if (observer.name == name && observer.object == object && !observer.context.isNull()) {
            observer.callback();
        }
    }
}

void RecordingNotificationCenter::addObserver(const QString& name, const QString& object,
                                              const QObject* context,
                                              std::function<void()> callback) {
    m_observers.push_back(
        Observer{name, object, const_cast<QObject*>(context), std::move(callback)});
}

bool RecordingLoginItems::setEnabled(const QString& bundleIdentifier, bool enabled) {
    calls.append(Call{bundleIdentifier, enabled});
    return succeeds;
}

std::optional<QString>
FakeApplicationPaths::absolutePathForBundleIdentifier(const QString& identifier) const {
    const auto found = paths.constFind(identifier);
    if (found == paths.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

std::optional<QStringList> FakeApplicationBundles::folderContents(const QString& folder) const {
    const auto found = folders.constFind(folder);
    if (found == folders.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<ApplicationBundle> FakeApplicationBundles::bundleAt(const QString& path) const {
    const auto found = bundles.constFind(path);
    if (found == bundles.constEnd())
        return std::nullopt;
    return *found;
}

std::optional<ApplicationBundle>
FakeApplicationBundles::bundleWithIdentifier(const QString& identifier) const {
    const auto found = pathsByIdentifier.constFind(identifier);
    if (found == pathsByIdentifier.constEnd())
        return std::nullopt;
    return bundleAt(*found);
}

bool FakeApplicationBundles::fileExists(const QString& path) const {
    if (bundles.contains(path) || existingFiles.contains(path))
        return true;
    return std::any_of(folders.cbegin(), folders.cend(),
                       [&path](const QStringList& entries) { return entries.contains(path); });
}

void FakeApplicationBundles::addBundle(const QString& path, std::optional<QString> identifier,
                                       const QString& name) {
    QVariantMap info;
    if (!name.isEmpty())
        info.insert(QStringLiteral("CFBundleName"), name);
    bundles.insert(path, ApplicationBundle{path, std::move(identifier), std::move(info)});
}

bool RecordingApplicationLauncher::launchApplication(const QString& executablePath) {
    launched.append(executablePath);
    if (onLaunch) {
        onLaunch(executablePath);
    }
    return succeeds;
}

PlatformDoubles::PlatformDoubles()
    : m_previous(platform()) {
    Platform& services = platform();
    services.defaults = &defaults;
    services.workspace = &workspace;
    services.windowList = &windowList;
    services.mainScreen = &mainScreen;
    services.delayedPerform = &clock;
    services.alerts = &alerts;
    services.notifications = &notifications;
    services.loginItems = &loginItems;
    services.applicationPaths = &applicationPaths;
    services.applicationBundles = &applicationBundles;
    services.applicationLauncher = &applicationLauncher;
}

PlatformDoubles::~PlatformDoubles() {
    platform() = m_previous;
}

} // namespace vantrel::testing
