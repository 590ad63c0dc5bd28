#pragma once

#include <memory>
#include <optional>
#include <QIcon>
#include <QString>
#include <QUrl>
#include <QVariantMap>

namespace vantrel {

// An installed application's bundle: where it lies, and its info dictionary (CFBundleName, ...).
struct AppBundle {
    QString path;
    std::optional<QString> bundleIdentifier;
    QVariantMap info;
};

// One application as the list screens show it. Records are shared by reference between lists;
// two records stand for the same application when their bundle identifiers are equal.
class App {
public:
    App(QUrl location, QString identifier, AppBundle appBundle, bool selected, bool alreadyRunning);

    QUrl url;
    const QString bundleID;
    const AppBundle bundle;
    bool isSelected;
    bool isAlreadyRunning;

    // The workspace's icon for the preferred installed copy; null when none is found.
    QIcon icon() const;
    // CFBundleName of the bundle's info, when it is a string.
    std::optional<QString> displayName() const;
};

using AppRef = std::shared_ptr<App>;

AppRef makeApp(QUrl url, QString bundleID, AppBundle bundle, bool isSelected,
               bool isAlreadyRunning);

} // namespace vantrel
