#include "platform/process/proc_workspace.h"

#include <QFileInfo>

namespace vantrel {

namespace {

bool isTrue(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    return value.typeId() == QMetaType::Bool && value.toBool();
}

std::optional<QString> nonEmptyString(const QVariantMap& info, const QString& key) {
    const QVariant value = info.value(key);
    if (value.typeId() != QMetaType::QString || value.toString().isEmpty())
        return std::nullopt;
    return value.toString();
}

} // namespace

ProcRunningApplication::ProcRunningApplication(QString procRoot, BundledProcess process)
    : m_procRoot(std::move(procRoot))
    , m_process(std::move(process)) {}

std::optional<QString> ProcRunningApplication::bundleIdentifier() const {
    return m_process.bundle.bundleIdentifier();
}

bool ProcRunningApplication::isTerminated() const {
    if (!m_terminated)
        m_terminated = processStartTime(m_procRoot, m_process.pid) != m_process.startTime;
    return m_terminated;
}

ActivationPolicy ProcRunningApplication::activationPolicy() const {
    if (isTrue(m_process.bundle.info, QStringLiteral("LSBackgroundOnly")))
        return ActivationPolicy::Prohibited;
    if (isTrue(m_process.bundle.info, QStringLiteral("LSUIElement")))
        return ActivationPolicy::Accessory;
    return ActivationPolicy::Regular;
}

std::optional<QString> ProcRunningApplication::localizedName() const {
    const QVariantMap& info = m_process.bundle.info;
    if (auto name = nonEmptyString(info, QStringLiteral("CFBundleDisplayName")))
        return name;
    if (auto name = nonEmptyString(info, QStringLiteral("CFBundleName")))
        return name;
    return QFileInfo(m_process.bundle.bundlePath).completeBaseName();
}

ProcWorkspace::ProcWorkspace(QString procRoot, QString sessionBus, QObject* parent)
    : Workspace(parent)
    , m_procRoot(std::move(procRoot))
    , m_sessionBus(std::move(sessionBus)) {}

RunningApplicationList ProcWorkspace::runningApplications() const {
    RunningApplicationList applications;
    decltype(m_known) stillRunning;
    for (BundledProcess& process : scanBundledProcesses(m_procRoot)) {
        if (process.sessionBus != m_sessionBus)
            continue;
        const std::pair key{process.pid, process.startTime};
        auto known = m_known.find(key);
        std::shared_ptr<ProcRunningApplication> application =
            known != m_known.end()
                ? known->second
                : std::make_shared<ProcRunningApplication>(m_procRoot, std::move(process));
        stillRunning.emplace(key, application);
        applications.append(application);
    }
    m_known = std::move(stillRunning);
    return applications;
}

} // namespace vantrel
