#pragma once

// A shader text after parsing: its version, declarations, constants and
// instructions, each with the line it came from. The validator checks it and
// the encoder turns it into tokens.

#include <cstdint>
#include <vector>

namespace zav::shader {

struct InstructionInfo;

enum class ShaderType : uint8_t { kVertex, kPixel };

// The four versions the assembler accepts.
struct ShaderVersion {
    ShaderType type = ShaderType::kVertex;
    uint8_t major = 0;
    uint8_t minor = 0;

    bool IsVertex() const { return type == ShaderType::kVertex; }
    bool IsModel2() const { return major >= 2; }
    const char* Name() const;  // "vs_1_1", "vs_2_0", "ps_1_1" or "ps_2_0"
};

// Register files as the texts name them.
enum class RegisterFile : uint8_t {
    kTemp,         // r#
    kInput,        // v#: vertex elements, or the colours of a pixel shader
    kConst,        // c#
    kAddress,      // a0 (vertex shader 2.0)
    kTexture,      // t#: texture registers (pixel shader 1.1) or coordinates (2.0)
    kSampler,      // s# (pixel shader 2.0)
    kPosition,     // oPos
    kFog,          // oFog
    kColorOut,     // oD# (vertex shaders)
    kTexCoordOut,  // oT#
    kPixelOut,     // oC# (pixel shader 2.0)
};

struct Register {
    RegisterFile file = RegisterFile::kTemp;
    uint16_t number = 0;

    bool operator==(const Register& other) const { return file == other.file && number == other.number; }
};

// Component masks: bit 0 = x ... bit 3 = w.
constexpr uint8_t kMaskAll = 0xF;

struct DestinationOperand {
    Register reg;
    uint8_t writeMask = kMaskAll;
};

struct SourceOperand {
    Register reg;
    uint8_t swizzle = 0xE4;  // two bits per slot, slot x in bits 0-1
    bool negate = false;
    bool relative = false;          // c[a0.<relativeComponent> + reg.number]
    uint8_t relativeComponent = 0;  // 0 = x ... 3 = w

    // The component that feeds slot `slot` (0-3).
    int Component(int slot) const { return (swizzle >> (2 * slot)) & 3; }
};

struct Instruction {
    int line = 0;
    const InstructionInfo* info = nullptr;
    bool saturate = false;
    bool hasDestination = false;
    DestinationOperand destination;
    int sourceCount = 0;
    SourceOperand sources[3];
};

// dcl_<usage><index> v# (vertex), dcl t#/v# (pixel 2.0), dcl_2d s# (pixel 2.0).
struct Declaration {
    int line = 0;
    Register reg;
    uint8_t mask = kMaskAll;
    uint8_t usage = 0;
    uint8_t usageIndex = 0;
    uint8_t textureType = 0;  // samplers only
};

// def c#, x, y, z, w
struct Definition {
    int line = 0;
    uint16_t constant = 0;
    float values[4] = {0, 0, 0, 0};
};

struct ShaderProgram {
    ShaderVersion version;
    std::vector<Declaration> declarations;  // in text order
    std::vector<Definition> definitions;    // in text order
    std::vector<Instruction> instructions;  // in text order
};

}  // namespace zav::shader
