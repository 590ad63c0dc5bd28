#include "platform/freedesktop/desktop_application_bundles.h"

#include "platform/desktop_entry.h"
#include "platform/freedesktop/desktop_entry_reader.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace vantrel {

DesktopApplicationBundles::DesktopApplicationBundles(std::function<QStringList()> handAddedFiles)
    : m_handAddedFiles(std::move(handAddedFiles)) {}

namespace {

ApplicationBundle bundleOf(const DesktopEntry& entry) {
    QVariantMap info{{u"CFBundleName"_s, entry.name}};
    if (!entry.execProgram.isEmpty())
        info.insert(u"CFBundleExecutable"_s, entry.execProgram);
    if (!entry.startupWMClass.isEmpty())
        info.insert(u"StartupWMClass"_s, entry.startupWMClass);
    return ApplicationBundle{entry.path, entry.id, std::move(info)};
}

} // namespace

QStringList DesktopApplicationBundles::applicationFolders() const {
    return vantrel::applicationFolders();
}

std::optional<QStringList> DesktopApplicationBundles::folderContents(const QString& folder) const {
    const QDir dir(folder);
    if (!dir.exists() || !QFileInfo(folder).isReadable())
        return std::nullopt;
    const QStringList desktops = currentDesktops();
    QStringList paths;
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = dir.filePath(name);
        const DesktopFileReading reading = readDesktopFile(path);
        if (reading.kind == DesktopFileReading::Kind::Application &&
            !isOfferedInMenus(reading.entry, desktops, isInstalledProgram))
            continue;
        paths.append(path);
    }
    return paths;
}

std::optional<ApplicationBundle> DesktopApplicationBundles::bundleAt(const QString& path) const {
    const DesktopFileReading reading = readDesktopFile(path);
    if (reading.kind != DesktopFileReading::Kind::Application)
        return std::nullopt;
    return bundleOf(reading.entry);
}

std::optional<ApplicationBundle>
DesktopApplicationBundles::bundleWithIdentifier(const QString& identifier) const {
    const std::optional<DesktopEntry> entry =
        findDesktopEntry(identifier, vantrel::applicationFolders(), m_handAddedFiles);
    if (!entry)
        return std::nullopt;
    return bundleOf(*entry);
}

bool DesktopApplicationBundles::fileExists(const QString& path) const {
    return !path.isEmpty() && QFileInfo::exists(path);
}

} // namespace vantrel
