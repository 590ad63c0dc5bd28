#pragma once

#include <QString>

namespace vantrel {

inline const QString homeViewControllerIdentifier = QStringLiteral("HomeViewController");
inline const QString addAppViewControllerIdentifier = QStringLiteral("AddAppViewController");

// Registers the two list screens with the controller registry; call once at start-up.
void registerListControllers();

} // namespace vantrel
