#pragma once

#include "engine/core/String.h"

namespace zav {

class Codec;

// Returns the registered codec of that name, or creates it through its
// module's "CreateCodec" symbol and registers it. `codec` may be null.
int LoadCodec(const String& name, Codec** codec);

}  // namespace zav
