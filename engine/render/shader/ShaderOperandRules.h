#pragma once

// The rules for the operands of single instructions: which registers,
// write masks, swizzles and modifiers each instruction accepts in a version.

#include <cstdint>

#include "engine/render/shader/AssemblyError.h"
#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

// False with `error` set when an operand breaks a rule.
bool CheckInstructionOperands(const Instruction& instruction, const ShaderVersion& version, AssemblyError& error);

// The components of source `index` that the instruction reads (bit 0 = x),
// after its swizzle.
uint8_t ComponentsRead(const Instruction& instruction, int index);

}  // namespace zav::shader
