#pragma once

// The register files of each shader version: their names, how many
// registers each version has, whether instructions may read or write them,
// and their token encoding.

#include <cstdint>

#include "engine/core/String.h"
#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

// Registers of `file` in `version`; 0 when the version has none.
int RegisterCount(const ShaderVersion& version, RegisterFile file);
// Whether an instruction may name the file as a source or a destination.
bool IsReadable(const ShaderVersion& version, RegisterFile file);
bool IsWritable(const ShaderVersion& version, RegisterFile file);

// Looks up a register name without its number ("r", "oPos", case ignored);
// false for names the assembler does not know. `numbered` tells whether a
// number must follow (oPos and oFog take none).
bool FindRegisterFile(const char* name, int length, RegisterFile* file, bool* numbered);

// "r3", "oPos", "c[a0.x + 8]"-style names for messages.
String RegisterName(const Register& reg);

// The register type and number bits of a parameter token.
uint32_t RegisterBits(const Register& reg);

}  // namespace zav::shader
