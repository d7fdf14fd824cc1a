#pragma once

// Checks a parsed shader against the rules of its version that the device's
// shader validation applies: operands each instruction may take, masks and
// swizzles, read-port limits, registers read before they are written or
// declared, outputs that must be written and the instruction limits.

#include "engine/render/shader/AssemblyError.h"
#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

// False with `error` set at the first problem.
bool ValidateShader(const ShaderProgram& program, AssemblyError& error);

}  // namespace zav::shader
