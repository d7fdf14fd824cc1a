#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

const char* ShaderVersion::Name() const {
    if (IsVertex()) return IsModel2() ? "vs_2_0" : "vs_1_1";
    return IsModel2() ? "ps_2_0" : "ps_1_1";
}

}  // namespace zav::shader
