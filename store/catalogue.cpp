#include "store/catalogue.h"

#include "platform/application_bundles.h"
#include "platform/application_paths.h"
#include "platform/platform.h"
#include "platform/workspace.h"
#include "store/settings.h"

#include <algorithm>

namespace vantrel {

namespace {

AppBundle appBundle(const ApplicationBundle& bundle) {
    return AppBundle{bundle.path, bundle.bundleIdentifier, bundle.info};
}

// A record for the bundle under this identifier, located where the desktop prefers; null for
// the program itself or an application the desktop does not know. Not yet marked selected.
AppRef makeRecord(const QString& identifier, const ApplicationBundle& bundle) {
    if (identifier.isEmpty() || identifier == ownBundleIdentifier)
        return nullptr;
    const std::optional<QString> location =
        platform().applicationPaths->absolutePathForBundleIdentifier(identifier);
    if (!location)
        return nullptr;
    return makeApp(QUrl::fromLocalFile(*location), identifier, appBundle(bundle), false, false);
}

AppRef makeRecord(const ApplicationBundle& bundle) {
    if (!bundle.bundleIdentifier)
        return nullptr;
    return makeRecord(*bundle.bundleIdentifier, bundle);
}

// Reads savedIds once per call: nothing can change it while the catalogue runs.
class Selection {
public:
    Selection()
        : m_ids(savedIdsList()) {}
    void mark(App& app) const { app.isSelected = m_ids.contains(app.bundleID); }

private:
    QStringList m_ids;
};

// Drops hand-added paths at which nothing exists any more and returns the kept ones.
QStringList prunedCustomAppPaths() {
    const ApplicationBundles& bundles = *platform().applicationBundles;
    const QStringList stored = customAppPathsList();
    QStringList kept;
    std::copy_if(stored.cbegin(), stored.cend(), std::back_inserter(kept),
                 [&bundles](const QString& path) { return bundles.fileExists(path); });
    // Written only when something went: rewriting an unchanged list would also replace a value
    // this program cannot read, but another may.
    if (kept.size() != stored.size())
        saveCustomAppPaths(kept);
    return kept;
}

void appendHandAdded(QList<AppRef>& result, const Selection& selection) {
    const ApplicationBundles& bundles = *platform().applicationBundles;
    for (const QString& path : prunedCustomAppPaths()) {
        const std::optional<ApplicationBundle> bundle = bundles.bundleAt(path);
        if (!bundle)
            continue;
        AppRef record = makeRecord(*bundle);
        if (!record)
            continue;
        const bool listed = std::any_of(result.cbegin(), result.cend(), [&](const AppRef& app) {
            return app->bundleID == record->bundleID;
        });
        if (listed)
            continue;
        selection.mark(*record);
        result.append(std::move(record));
    }
}

// Locked applications that the folders' listing left out (the desktop's menus hide them) are
// still the user's choice: listed after everything else, so that they can be seen and unlocked.
void appendLockedUnlisted(QList<AppRef>& result, const Selection& selection) {
    const ApplicationBundles& bundles = *platform().applicationBundles;
    for (const QString& identifier : savedIdsList()) {
        const bool listed = std::any_of(result.cbegin(), result.cend(), [&](const AppRef& app) {
            return app->bundleID == identifier;
        });
        if (listed)
            continue;
        const std::optional<ApplicationBundle> bundle = bundles.bundleWithIdentifier(identifier);
        if (!bundle)
            continue;
        if (AppRef record = makeRecord(identifier, *bundle)) {
            selection.mark(*record);
            result.append(std::move(record));
        }
    }
}

} // namespace

QList<AppRef> installedApps() {
    const ApplicationBundles& bundles = *platform().applicationBundles;
    const Selection selection;
    QList<AppRef> result;
    for (const QString& folder : bundles.applicationFolders()) {
        const std::optional<QStringList> entries = bundles.folderContents(folder);
        if (!entries)
            continue;
        for (const QString& entry : *entries) {
            const std::optional<ApplicationBundle> bundle = bundles.bundleAt(entry);
            if (!bundle)
                continue;
            if (AppRef record = makeRecord(*bundle)) {
                selection.mark(*record);
                result.append(std::move(record));
            }
        }
    }
    appendHandAdded(result, selection);
    appendLockedUnlisted(result, selection);
    return result;
}

QList<AppRef> runningApps() {
    const ApplicationBundles& bundles = *platform().applicationBundles;
    const Selection selection;
    QList<AppRef> result;
    for (const RunningApplicationRef& running : platform().workspace->runningApplications()) {
        const std::optional<QString> identifier =
            running ? running->bundleIdentifier() : std::nullopt;
        if (!identifier || identifier->isEmpty() || *identifier == ownBundleIdentifier)
            continue;
        const std::optional<ApplicationBundle> bundle = bundles.bundleWithIdentifier(*identifier);
        if (!bundle)
            continue;
        if (AppRef record = makeRecord(*identifier, *bundle)) {
            selection.mark(*record);
            result.append(std::move(record));
        }
    }
    appendHandAdded(result, selection);
    return result;
}

} // namespace vantrel
