// The registry of resource tables compiled into the code, shared by every platform: the
// only place a build without a resource section (Linux, test programs) finds its banks.
#pragma once

#include "platform/Platform.h"

namespace platform {

// The registered resource with this name and type (compared without regard to case), or
// empty bytes when none is registered.
ResourceBytes FindRegisteredResource(const char* name, const char* type);

}  // namespace platform
