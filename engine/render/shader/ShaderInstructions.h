#pragma once

// The instructions the assembler knows: name, opcode, operands, the versions
// that have them and how they read their sources.

#include <cstdint>

#include "engine/render/shader/ShaderProgram.h"

namespace zav::shader {

// Version bits of InstructionInfo::versions.
enum VersionBit : uint8_t {
    kVs11 = 1,
    kVs20 = 2,
    kPs11 = 4,
    kPs20 = 8,
    kAllVersions = kVs11 | kVs20 | kPs11 | kPs20,
};
uint8_t VersionBitOf(const ShaderVersion& version);

// Which source components an instruction reads.
enum class ReadPattern : uint8_t {
    kPerComponent,  // the slots of the destination's write mask
    kDot3,          // slots x, y, z
    kDot4,          // all four slots
    kScalar,        // one component, named by a replicate swizzle
    kLit,           // slots x, y and w
    kMatrix4,       // m4x4: the vector's four slots; the matrix is four constants
    kTextureLoad,   // tex / texld: texture coordinates and sampler
};

struct InstructionInfo {
    const char* name;
    uint16_t opcode;
    uint8_t sourceCount;
    uint8_t versions;  // VersionBit set
    ReadPattern pattern;
    uint8_t slots;  // instruction slots it takes
};

// The instruction called `name` (lower case, `length` bytes), or null.
const InstructionInfo* FindInstruction(const char* name, int length);

}  // namespace zav::shader
