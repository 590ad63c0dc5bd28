// Hostile bytes stored under "applock": reading the master password must give a password, none
// or damaged, never crash.
#include "platform/memory_defaults_database.h"
#include "platform/platform.h"
#include "store/master_password.h"
#include "store/settings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20))
        return 0;
    static vantrel::MemoryDefaultsDatabase defaults;
    vantrel::platform().defaults = &defaults;
    defaults.setValue(vantrel::keys::applock, QByteArray(reinterpret_cast<const char*>(data),
                                                         static_cast<qsizetype>(size)));
    (void)vantrel::readStoredPassword();
    return 0;
}
