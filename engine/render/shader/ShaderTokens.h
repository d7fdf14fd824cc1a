#pragma once

// The Direct3D 9 shader token format, defined here so that the assembler
// builds on every platform without the Windows headers. A shader is a stream
// of 32-bit tokens: the version token, then instructions (an instruction
// token followed by its parameter tokens), then the end token.

#include <cstdint>

namespace zav::shader {

// Version tokens: 0xFFFE (vertex) or 0xFFFF (pixel) above major.minor.
constexpr uint32_t kVertexVersionBase = 0xFFFE0000u;
constexpr uint32_t kPixelVersionBase = 0xFFFF0000u;
constexpr uint32_t kEndToken = 0x0000FFFFu;

// Opcodes (bits 0-15 of an instruction token).
enum Opcode : uint16_t {
    kOpMov = 1,
    kOpAdd = 2,
    kOpSub = 3,
    kOpMad = 4,
    kOpMul = 5,
    kOpRcp = 6,
    kOpRsq = 7,
    kOpDp3 = 8,
    kOpDp4 = 9,
    kOpMin = 10,
    kOpMax = 11,
    kOpLit = 16,
    kOpFrc = 19,
    kOpM4x4 = 20,
    kOpDcl = 31,
    kOpMova = 46,
    kOpTex = 66,  // "tex" of pixel shader 1.x and "texld" of 2.0
    kOpDef = 81,
};

// From shader model 2.0 on, bits 24-27 of an instruction token count the
// parameter tokens that follow it; model 1.x leaves them zero.
constexpr int kInstructionLengthShift = 24;

// Parameter tokens always have bit 31 set.
constexpr uint32_t kParameterBit = 0x80000000u;
constexpr uint32_t kRegisterNumberMask = 0x000007FFu;
// The register type is split: bits 0-2 at 28-30, bits 3-4 at 11-12.
constexpr int kRegisterTypeShift = 28;
constexpr int kRegisterTypeShift2 = 8;
constexpr uint32_t kRegisterTypeMask = 0x70000000u;
constexpr uint32_t kRegisterTypeMask2 = 0x00001800u;

enum RegisterType : uint32_t {
    kRegTemp = 0,
    kRegInput = 1,
    kRegConst = 2,
    kRegAddress = 3,   // vertex shaders
    kRegTexture = 3,   // pixel shaders
    kRegRasterOut = 4, // oPos (0), oFog (1)
    kRegAttributeOut = 5,
    kRegTexCoordOut = 6,
    kRegColorOut = 8,
    kRegSampler = 10,
};
constexpr uint16_t kRasterOutPosition = 0;
constexpr uint16_t kRasterOutFog = 1;

// Destination parameters: write mask (bits 16-19, x = bit 16) and result
// modifiers (bits 20-23).
constexpr int kWriteMaskShift = 16;
constexpr uint32_t kResultSaturate = 1u << 20;

// Source parameters: swizzle (bits 16-23, two bits per component, x first),
// source modifier (bits 24-27) and relative addressing (bit 13).
constexpr int kSwizzleShift = 16;
constexpr uint8_t kIdentitySwizzle = 0xE4;  // .xyzw
constexpr uint32_t kSourceNegate = 1u << 24;
constexpr uint32_t kRelativeAddressing = 1u << 13;

// Declaration tokens: usage (bits 0-3) and usage index (bits 16-19) for
// inputs, texture type (bits 27-30) for samplers.
constexpr int kUsageIndexShift = 16;
constexpr int kTextureTypeShift = 27;

enum DeclarationUsage : uint8_t {
    kUsagePosition = 0,
    kUsageBlendWeight = 1,
    kUsageBlendIndices = 2,
    kUsageNormal = 3,
    kUsageTexCoord = 5,
    kUsageColor = 10,
};

enum TextureType : uint8_t {
    kTexture2D = 2,
    kTextureCube = 3,
    kTextureVolume = 4,
};

}  // namespace zav::shader
