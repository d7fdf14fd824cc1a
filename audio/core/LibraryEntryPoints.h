#pragma once

#include "audio/AudioApi.h"
#include "audio/core/Library.h"

namespace zav::audio {

// The process's one library, behind the entry points. It is never
// destroyed: an output thread must not be joined while the process unloads.
Library& GetLibrary();

// The entry points as plain functions over GetLibrary(): what the DLL
// exports, and what host programs bind in place of a loaded library.
const AudioEntryPoints& LibraryEntryPoints();

}  // namespace zav::audio
