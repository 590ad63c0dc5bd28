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

// The process-wide instance of the controller with this identifier, made on first use and kept
// for the life of the process. Null when the controller made is not a T (it is then dropped, and
// the slot stays empty).
template <class T> T* sharedController(const QString& identifier) {
    static T* const slot = [&identifier]() -> T* {
        QObject* made = instantiateController(identifier);
        T* controller = qobject_cast<T*>(made);
        if (!controller)
            delete made;
        return controller;
    }();
    return slot;
}

} // namespace vantrel::storyboard
