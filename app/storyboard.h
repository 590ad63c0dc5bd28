#pragma once

#include <functional>
#include <QObject>
#include <QString>

namespace vantrel::storyboard {

// The program's controllers by identifier. Each library registers the factories of its own
// controllers at start-up; whoever needs one asks for the shared instance.
using ControllerFactory = std::function<QObject*()>;

void registerController(const QString& identifier, ControllerFactory factory);

// A new controller, or null when no factory has that identifier.
QObject* instantiateController(const QString& identifier);

// Whether a controller just made may fill its shared slot.
using ControllerCheck = bool (*)(const QObject* made);

// The process-wide instance of the controller with this identifier, made on first use and kept
// for the life of the process; null while no factory has that identifier. There is one slot per
// identifier, so code that does not know a controller's class (a placeholder screen, say) shares
// it too. A controller made that fails `check` is dropped, and the slot stays empty for good.
QObject* sharedObject(const QString& identifier, ControllerCheck check = nullptr);

// The shared instance when it has been made already; null otherwise. Makes nothing.
QObject* existingSharedObject(const QString& identifier);

// Deletes every shared instance, newest first, and empties their slots; the next call to
// sharedObject makes a new one. Programs and tests call it once at the end, while the
// application object still stands, so that the controllers' windows go before it.
void releaseSharedControllers();

// The shared instance as a T; null when the controller made is not a T.
template <class T> T* sharedController(const QString& identifier) {
    return qobject_cast<T*>(sharedObject(
        identifier, [](const QObject* made) { return qobject_cast<const T*>(made) != nullptr; }));
}

template <class T> T* existingSharedController(const QString& identifier) {
    return qobject_cast<T*>(existingSharedObject(identifier));
}

} // namespace vantrel::storyboard
