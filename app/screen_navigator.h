#pragma once

#include "app/storyboard.h"

#include <cstdint>
#include <QObject>
#include <QString>

namespace vantrel {

// The screens of the popover, in the order the popover root knows them.
enum class ViewControllers : std::uint8_t { password = 0, home = 1, addApp = 2 };

// The popover root as the screens inside it see it: they move the popover to another screen
// without depending on the root's class.
class ScreenNavigator {
public:
    virtual ~ScreenNavigator() = default;

    virtual void showScreen(ViewControllers screen) = 0;
};

// Identifiers under which the popover's controllers are registered.
inline QString popoverRootIdentifier() {
    return QStringLiteral("ViewController");
}

} // namespace vantrel

Q_DECLARE_INTERFACE(vantrel::ScreenNavigator, "com.corvane.vantrel.ScreenNavigator")

namespace vantrel {

// The shared popover root; null while none is registered.
inline ScreenNavigator* popoverNavigator() {
    return qobject_cast<ScreenNavigator*>(storyboard::sharedObject(popoverRootIdentifier()));
}

} // namespace vantrel
