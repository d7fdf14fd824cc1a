#pragma once

#include "engine/core/String.h"

namespace zav {

// Mounts the archive held in the executable's "MEDIADATA" resource `id`
// under `name`, decoding it with the codec its extension selects.
int MountResourceArchive(int id, const String& name, const String& password);

}  // namespace zav
