#pragma once

#include <QString>

namespace vantrel {

// Starts other programs, independent of this one: they keep running when this program ends.
class ApplicationLauncher {
public:
    virtual ~ApplicationLauncher() = default;

    // Starts the executable at this absolute path with no arguments. False when it could not be
    // started (missing, not executable, not a program).
    virtual bool launchApplication(const QString& executablePath) = 0;
};

} // namespace vantrel
