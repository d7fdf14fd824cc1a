#pragma once

// The packed single-precision instructions (SSE) that the sphere fitting and
// skinning routines use where the compiler targets them; every routine that
// has a packed variant keeps a plain one with the same result.
#if defined(__SSE__)
#include <xmmintrin.h>
#define ZAV_HAS_PACKED_FLOATS 1
#else
#define ZAV_HAS_PACKED_FLOATS 0
#endif

namespace zav {

// True when the processor runs them. Probed once per process.
bool HasPackedFloatInstructions();

}  // namespace zav
