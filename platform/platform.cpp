#include "platform/platform.h"

namespace vantrel {

Platform& platform() {
    static Platform services;
    return services;
}

} // namespace vantrel
