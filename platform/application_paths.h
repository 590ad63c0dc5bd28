#pragma once

#include <optional>
#include <QIcon>
#include <QString>

namespace vantrel {

// Where the desktop keeps installed applications, and what they look like.
class ApplicationPaths {
public:
    virtual ~ApplicationPaths() = default;

    // The preferred installed copy of the application with this bundle identifier.
    virtual std::optional<QString>
    absolutePathForBundleIdentifier(const QString& identifier) const = 0;
    virtual QIcon iconForFile(const QString& path) const = 0;
};

} // namespace vantrel
