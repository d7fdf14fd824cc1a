// Tokens of representative statements, worked out by hand from the Direct3D
// 9 token format.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/shader/ShaderAssembler.h"
#include "engine/render/shader/ShaderTexts.h"

namespace zav {
namespace {

using Words = std::vector<uint32_t>;

Words Tokens(const char* text) {
    Words tokens;
    String errors;
    EXPECT_EQ(AssembleShader(text, static_cast<int32_t>(std::strlen(text)), tokens, errors), kOk) << errors.CStr();
    return tokens;
}

// The tokens between the version token and the end token.
Words Body(const char* text) {
    const Words tokens = Tokens(text);
    if (tokens.size() < 2) return {};
    EXPECT_EQ(tokens.back(), 0x0000FFFFu);
    return Words(tokens.begin() + 1, tokens.end() - 1);
}

TEST(ShaderAssemblerTokens, VersionTokens) {
    EXPECT_EQ(Tokens("vs_1_1\ndcl_position v0\nmov oPos, v0")[0], 0xFFFE0101u);
    EXPECT_EQ(Tokens("vs.2.0\ndcl_position v0\nmov oPos, v0")[0], 0xFFFE0200u);
    EXPECT_EQ(Tokens("ps.1.1\nmov r0, v0")[0], 0xFFFF0101u);
    EXPECT_EQ(Tokens("ps_1_1\nmov r0, v0")[0], 0xFFFF0101u);
    EXPECT_EQ(Tokens("ps_2_0\nmov oC0, c0")[0], 0xFFFF0200u);
}

TEST(ShaderAssemblerTokens, ColourVertexTextInFull) {
    const Words expected = {
        0xFFFE0101,                                                  // vs_1_1
        0x0000001F, 0x80000000, 0x900F0000,                          // dcl_position v0
        0x00000051, 0xA00F000A, 0x402DF84D, 0, 0, 0,                 // def c10, 2.71828, 0, 0, 0
        0x00000001, 0xD00F0000, 0xA0E40008,                          // mov oD0, c8
        0x00000014, 0xC00F0000, 0x90E40000, 0xA0E40000,              // m4x4 oPos, v0, c0
        0x00000009, 0x80020000 | 10, 0x90E40000, 0xA0E40006,         // dp4 r10.y, v0, c6
        0x00000005, 0x8002000A, 0x8055000A, 0xA0000009,              // mul r10.y, r10.y, c9.x
        0x00000001, 0x8001000A, 0xA000000A,                          // mov r10.x, c10.x
        0x00000001, 0x8008000A, 0xA0550009,                          // mov r10.w, c9.y
        0x00000010, 0x800F000B, 0x80E4000A,                          // lit r11, r10
        0x00000001, 0x8002000A, 0xA000000A,                          // mov r10.y, c10.x
        0x00000001, 0x8008000A, 0x80AA000B,                          // mov r10.w, r11.z
        0x00000010, 0x800F000B, 0x80E4000A,                          // lit r11, r10
        0x00000006, 0x8001000B, 0x80AA000B,                          // rcp r11.x, r11.z
        0x00000001, 0xC00F0001, 0x8000000B,                          // mov oFog, r11.x
        0x0000FFFF,
    };
    EXPECT_EQ(Tokens(kColorVertexText), expected);
}

TEST(ShaderAssemblerTokens, DeclarationsThenConstantsThenInstructions) {
    // The text defines before it declares; the tokens declare first.
    EXPECT_EQ(Body("vs_1_1\n"
                   "def c95, 1, -0.5, 0, 4\n"
                   "dcl_normal v3\n"
                   "dcl_position v0\n"
                   "mov oPos, v0\n"),
              (Words{0x0000001F, 0x80000003, 0x900F0003, 0x0000001F, 0x80000000, 0x900F0000, 0x00000051, 0xA00F005F,
                     0x3F800000, 0xBF000000, 0x00000000, 0x40800000, 0x00000001, 0xC00F0000, 0x90E40000}));
}

TEST(ShaderAssemblerTokens, DecimalForms) {
    EXPECT_EQ(Body("ps.1.1\ndef c1, .5, 3., -250, 0.001\nmov r0, c1\n"),
              (Words{0x00000051, 0xA00F0001, 0x3F000000, 0x40400000, 0xC37A0000, 0x3A83126F, 0x00000001, 0x800F0000,
                     0xA0E40001}));
}

TEST(ShaderAssemblerTokens, VertexDeclarationUsages) {
    EXPECT_EQ(Body("vs_2_0\n"
                   "dcl_position v0\n"
                   "dcl_blendweight v1\n"
                   "dcl_blendindices v2\n"
                   "dcl_texcoord0 v7\n"
                   "dcl_texcoord3 v9\n"
                   "dcl_color1 v5\n"
                   "mov oPos, v0\n"),
              (Words{0x0200001F, 0x80000000, 0x900F0000, 0x0200001F, 0x80000001, 0x900F0001, 0x0200001F, 0x80000002,
                     0x900F0002, 0x0200001F, 0x80000005, 0x900F0007, 0x0200001F, 0x80030005, 0x900F0009, 0x0200001F,
                     0x8001000A, 0x900F0005, 0x02000001, 0xC00F0000, 0x90E40000}));
}

TEST(ShaderAssemblerTokens, MasksSwizzlesAndNegation) {
    EXPECT_EQ(Body("vs_1_1\n"
                   "dcl_position v0\n"
                   "dcl_texcoord0 v7\n"
                   "mov oPos, v0\n"
                   "mov oT0.xy, v7\n"
                   "max r2.xy, v0, -v0\n"
                   "add r0.xz, v0, r2.xxyy\n"
                   "mul r1.yw, v0.wz, -r0.x\n"
                   "mov oD1, v0.bgra\n"),
              (Words{0x0000001F, 0x80000000, 0x900F0000, 0x0000001F, 0x80000005, 0x900F0007,
                     0x00000001, 0xC00F0000, 0x90E40000,                           // mov oPos, v0
                     0x00000001, 0xE0030000, 0x90E40007,                           // mov oT0.xy, v7
                     0x0000000B, 0x80030002, 0x90E40000, 0x91E40000,               // max r2.xy, v0, -v0
                     0x00000002, 0x80050000, 0x90E40000, 0x80500002,               // add r0.xz, v0, r2.xxyy
                     0x00000005, 0x800A0001, 0x90AB0000, 0x81000000,               // mul r1.yw, v0.wzzz, -r0.xxxx
                     0x00000001, 0xD00F0001, 0x90C60000}));                       // mov oD1, v0.zyxw
}

TEST(ShaderAssemblerTokens, ModelTwoLengthsAndRelativeAddressing) {
    EXPECT_EQ(Body("vs_2_0\n"
                   "dcl_position v0\n"
                   "dcl_blendindices v2\n"
                   "mova a0, v2\n"
                   "dp4 oPos.x, v0, c[a0.x + 8]\n"
                   "dp4 oPos.y, v0, c9[a0.y]\n"
                   "dp4 oPos.z, v0, -c[2 + a0.z + 8].wzyx\n"
                   "mov oPos.w, c[a0.w]\n"),
              (Words{0x0200001F, 0x80000000, 0x900F0000, 0x0200001F, 0x80000002, 0x900F0002,
                     0x0200002E, 0xB00F0000, 0x90E40002,                           // mova a0, v2
                     0x04000009, 0xC0010000, 0x90E40000, 0xA0E42008, 0xB0000000,   // c[a0.x + 8]
                     0x04000009, 0xC0020000, 0x90E40000, 0xA0E42009, 0xB0550000,   // c9[a0.y]
                     0x04000009, 0xC0040000, 0x90E40000, 0xA11B200A, 0xB0AA0000,   // -c[a0.z + 10].wzyx
                     0x03000001, 0xC0080000, 0xA0E42000, 0xB0FF0000}));           // c[a0.w]
}

TEST(ShaderAssemblerTokens, PixelShaderOneOne) {
    EXPECT_EQ(Tokens(kLitPixelText11), (Words{0xFFFF0101, 0x00000042, 0xB00F0000, 0x00000004, 0x800F0000, 0xB0E40000,
                                               0x90E40000, 0x90E40001, 0x0000FFFF}));
    EXPECT_EQ(Body("ps.1.1\n"
                   "def c7, 0.25, 0, 0, 1\n"
                   "tex t1\n"
                   "mul_sat r0.rgb, t1, c7\n"
                   "mov r0.a, v0\n"),
              (Words{0x00000051, 0xA00F0007, 0x3E800000, 0, 0, 0x3F800000, 0x00000042, 0xB00F0001, 0x00000005,
                     0x80170000, 0xB0E40001, 0xA0E40007, 0x00000001, 0x80080000, 0x90E40000}));
}

TEST(ShaderAssemblerTokens, PixelShaderTwoZero) {
    // The combine text: input declarations come before the samplers.
    EXPECT_EQ(Tokens(kGlowCombinePixelText),
              (Words{0xFFFF0200,
                     0x0200001F, 0x80000000, 0xB0030000,                           // dcl t0.xy
                     0x0200001F, 0x90000000, 0xA00F0800,                           // dcl_2d s0
                     0x0200001F, 0x90000000, 0xA00F0801,                           // dcl_2d s1
                     0x03000042, 0x800F0001, 0xB0E40000, 0xA0E40800,               // texld r1, t0, s0
                     0x03000042, 0x800F0000, 0xB0E40000, 0xA0E40801,               // texld r0, t0, s1
                     0x04000004, 0x800F0000, 0x80E40000, 0xA0000000, 0x80E40001,   // mad r0, r0, c0.x, r1
                     0x02000001, 0x800F0800, 0x80E40000,                           // mov oC0, r0
                     0x0000FFFF}));
    EXPECT_EQ(Body("ps_2_0\n"
                   "def c31, 0.2, 0, 0, 0\n"
                   "dcl v1.xyz\n"
                   "dcl_cube s2\n"
                   "dcl_volume s3\n"
                   "mul_sat r0, v1.x, c31.yzxw\n"
                   "mov oC0, r0\n"),
              (Words{0x0200001F, 0x80000000, 0x90070001, 0x0200001F, 0x98000000, 0xA00F0802, 0x0200001F, 0xA0000000,
                     0xA00F0803, 0x05000051, 0xA00F001F, 0x3E4CCCCD, 0, 0, 0, 0x03000005, 0x801F0000, 0x90000001,
                     0xA0C9001F, 0x02000001, 0x800F0800, 0x80E40000}));
}

TEST(ShaderAssemblerTokens, CommentsBlankLinesAndLineEndings) {
    EXPECT_EQ(Tokens("// leading comment\r\n\r\n  PS.1.1   ; version\r\n\tMOV r0 , v0 // copy\r\n;\n"),
              (Words{0xFFFF0101, 0x00000001, 0x800F0000, 0x90E40000, 0x0000FFFF}));
    const char unterminated[] = {'p', 's', '.', '1', '.', '1', '\n', 'm', 'o', 'v', ' ', 'r', '0', ',', ' ', 'v', '0'};
    Words tokens;
    String errors;
    EXPECT_EQ(AssembleShader(unterminated, sizeof unterminated, tokens, errors), kOk) << errors.CStr();
    EXPECT_EQ(tokens.size(), 5u);
}

}  // namespace
}  // namespace zav
