#pragma once

#include "engine/platform/Platform.h"

namespace zav::platform {

// Looks up a blob that a test or tool registered with RegisterBlob.
bool FindRegisteredBlob(const char* type, int id, Blob* blob);

}  // namespace zav::platform
