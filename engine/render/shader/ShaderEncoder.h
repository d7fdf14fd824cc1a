#pragma once

// Writes a validated ShaderProgram as Direct3D 9 shader tokens. The layout
// follows what the utility library's assembler writes: the version token,
// the input declarations, the sampler declarations, the constant definitions
// (each group in text order), then the instructions and the end token. No
// comment tokens are written.

#include <cstdint>
#include <vector>

#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

void EncodeShader(const ShaderProgram& program, std::vector<uint32_t>& tokens);

}  // namespace zav::shader
