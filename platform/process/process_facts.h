#pragma once

#include "platform/process/application_identity.h"

namespace vantrel {

// What /proc tells of a process that identifies its application; what cannot be read stays
// empty (a process gone meanwhile, or another user's sandbox).
ProcessFacts readProcessFacts(qint64 pid);

} // namespace vantrel
