#pragma once

// Parses one operand of a shader line: a destination (register and write
// mask) or a source (sign, register, relative address and swizzle).

#include "engine/render/shader/AssemblyError.h"
#include "engine/render/shader/ShaderLineCursor.h"
#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

// `text` is the operand without the commas around it. Each checks that the
// version has the register and may write (destination) or read (source) it.
bool ParseDestination(const TextSpan& text, int line, const ShaderVersion& version, DestinationOperand* operand,
                      AssemblyError& error);
bool ParseSource(const TextSpan& text, int line, const ShaderVersion& version, SourceOperand* operand,
                 AssemblyError& error);

// A register with an optional write mask and nothing else, as dcl names it.
// Checks only that the version has the register.
bool ParseMaskedRegister(const TextSpan& text, int line, const ShaderVersion& version, Register* reg, uint8_t* mask,
                         AssemblyError& error);

}  // namespace zav::shader
