#include "app/storyboard.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <utility>

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

// The shared instances in the order they were made. Guarded: a shared widget may sit inside
// another one and go with it.
QList<QPointer<QObject>>& madeInOrder() {
    static QList<QPointer<QObject>> made;
    return made;
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
    if (made)
        madeInOrder().append(made);
    return made;
}

QObject* existingSharedObject(const QString& identifier) {
    return instances().value(identifier, nullptr);
}

void releaseSharedControllers() {
    QList<QPointer<QObject>> made = std::exchange(madeInOrder(), {});
    instances().clear();
    // The last made first: a later controller may lean on an earlier one.
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        delete it->data();
}

} // namespace vantrel::storyboard
