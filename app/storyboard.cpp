#include "app/storyboard.h"

#include <QHash>

namespace vantrel::storyboard {
namespace {

QHash<QString, ControllerFactory>& factories() {
    static QHash<QString, ControllerFactory> table;
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

} // namespace vantrel::storyboard
