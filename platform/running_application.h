#pragma once

#include <memory>
#include <optional>
#include <QIcon>
#include <QList>
#include <QString>

namespace vantrel {

// What the workspace says of the activation policy of an application.
enum class ActivationPolicy : int {
    Regular = 0,   // an ordinary application with windows of its own in the task bar
    Accessory = 1, // windows, but no presence in the task bar
    Prohibited = 2 // no windows
};

// One running application as the workspace reports it. Instances are shared: two references
// stand for the same application exactly when they point at the same object.
class RunningApplication {
public:
    virtual ~RunningApplication() = default;

    // The desktop-file id of the application's installed entry, when one is known.
    virtual std::optional<QString> bundleIdentifier() const = 0;
    virtual qint64 processIdentifier() const = 0;
    virtual bool isHidden() const = 0;
    virtual bool isTerminated() const = 0;
    virtual ActivationPolicy activationPolicy() const = 0;
    virtual std::optional<QString> localizedName() const = 0;
    virtual QIcon icon() const = 0;

    // Asks the application to hide all its windows; true when the request was made.
    virtual bool hide() = 0;
    // Brings its front-most shown window forward with the keyboard; true when asked for.
    virtual bool activate() = 0;
};

using RunningApplicationRef = std::shared_ptr<RunningApplication>;
using RunningApplicationList = QList<RunningApplicationRef>;

} // namespace vantrel
