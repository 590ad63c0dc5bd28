#include "app/storyboard.h"

#include <QHash>

namespace vantrel::storyboard {
namespace {

QHash<QString, ControllerFactory>& factories() {
    static QHash<QString, ControllerFactory> table;
    return table;
}

QHash<QString, QObject*>& instances() {
    static QHash<QString, QObject*> table;
    return table;
}

} // namespace

void registerController(const QString& identifier, ControllerFactory factory) {
    factories().insert(identifier, std::move(factory));
}

QObject* instantiateController(const QString& identifier) {
    const auto found = factories().constFind(identifier);
    if (found == factories().constEnd() || !*found)
        return nullptr;
    return (*found)();
}

QObject* sharedObject(const QString& identifier, ControllerCheck check) {
    const auto found = instances().constFind(identifier);
    if (found != instances().constEnd())
        return *found;
    // Nothing is kept while no factory answers, so a controller registered later is still found.
    QObject* made = instantiateController(identifier);
    if (!made)
        return nullptr;
    if (check && !check(made)) {
        delete made;
        made = nullptr;
    }
    instances().insert(identifier, made);
    return made;
}

} // namespace vantrel::storyboard
