#pragma once

#include <optional>
#include <QString>

namespace vantrel {

// Run once at start-up: keeps the login item registered while launching at log-in is on, and
// tells any launcher still running to quit, naming this program by its bundle identifier. Without
// an identifier of our own there is nothing the launcher would recognise, so nothing is posted.
void retireRunningLauncher(const std::optional<QString>& ownBundleIdentifier);

} // namespace vantrel
