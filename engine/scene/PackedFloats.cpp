#include "engine/scene/PackedFloats.h"

namespace zav {

bool HasPackedFloatInstructions() {
#if ZAV_HAS_PACKED_FLOATS
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse") != 0;
    }();
    return has;
#else
    return false;
#endif
}

}  // namespace zav
