#pragma once

// Reads a shader text line by line into a ShaderProgram: the version line,
// then one declaration, constant or instruction per line. Comments run from
// "//" or ";" to the end of the line. The parser checks the syntax and what
// each operand may name in the version; the validator checks the rest.

#include <cstdint>

#include "engine/render/shader/AssemblyError.h"
#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

// False with `error` set at the first problem.
bool ParseShader(const char* text, int32_t length, ShaderProgram* program, AssemblyError& error);

}  // namespace zav::shader
