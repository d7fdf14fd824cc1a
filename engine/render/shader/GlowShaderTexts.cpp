#include "engine/render/shader/ShaderTexts.h"

namespace zav {

// c2 = (0.5, -0.5, 1, 0). oPos = (p.x, p.y, 0, 1), r0.xy = t + c1 with
// t = 0.5 (1 + p.x, 1 - p.y).
#define ZAV_QUAD_VERTEX \
    "vs_2_0\n" \
    "def c2, 0.5, -0.5, 1, 0\n" \
    "dcl_position v0\n" \
    "mov oPos.xy, v0\n" \
    "mov oPos.zw, c2.xywz\n" \
    "mad r0.xy, v0, c2, c2.x\n" \
    "add r0.xy, r0, c1\n"

#define ZAV_FIVE_SAMPLES \
    "dcl t0.xy\n" \
    "dcl t1.xy\n" \
    "dcl t2.xy\n" \
    "dcl t3.xy\n" \
    "dcl t4.xy\n" \
    "dcl_2d s0\n" \
    "texld r0, t0, s0\n" \
    "texld r1, t1, s0\n" \
    "texld r2, t2, s0\n" \
    "texld r3, t3, s0\n" \
    "texld r4, t4, s0\n"

const char kGlowDownsampleVertexText[] =
    ZAV_QUAD_VERTEX
    "mov r3.xy, c0\n"
    "mul r1.xy, r3, c2.zwww\n"  // (c0.x, 0)
    "mul r2.xy, r3, c2.wzzz\n"  // (0, c0.y)
    "mov oT0.xy, r0\n"
    "add oT1.xy, r0, r1\n"
    "sub oT2.xy, r0, r1\n"
    "add oT3.xy, r0, r2\n"
    "sub oT4.xy, r0, r2\n";

const char kGlowDownsamplePixelText[] =
    "ps_2_0\n"
    "def c0, 0.200000, 0.000000, 0.000000, 0.000000\n"
    ZAV_FIVE_SAMPLES
    "add r0, r0, r1\n"
    "add r0, r0, r2\n"
    "add r0, r0, r3\n"
    "add r0, r0, r4\n"
    "mul r0, r0, c0.x\n"
    "mov oC0, r0\n";

const char kGlowBlurVertexText[] =
    ZAV_QUAD_VERTEX
    "mov r1.xy, c0\n"
    "add r2.xy, r1, r1\n"
    "sub oT0.xy, r0, r2\n"
    "sub oT1.xy, r0, r1\n"
    "mov oT2.xy, r0\n"
    "add oT3.xy, r0, r1\n"
    "add oT4.xy, r0, r2\n";

const char kGlowBlurPixelText[] =
    "ps_2_0\n"
    "def c0, 0.117647, 0.235294, 0.294118, 0.000000\n"
    ZAV_FIVE_SAMPLES
    "mul r0, r0, c0.x\n"
    "mad r0, r1, c0.y, r0\n"
    "mad r0, r2, c0.z, r0\n"
    "mad r0, r3, c0.y, r0\n"
    "mad r0, r4, c0.x, r0\n"
    "mov oC0, r0\n";

const char kGlowCombineVertexText[] =
    ZAV_QUAD_VERTEX
    "mov oT0.xy, r0\n";

const char kGlowCombinePixelText[] =
    "ps_2_0\n"
    "dcl_2d s0\n"
    "dcl_2d s1\n"
    "dcl t0.xy\n"
    "texld r1, t0, s0\n"
    "texld r0, t0, s1\n"
    "mad r0, r0, c0.x, r1\n"
    "mov oC0, r0\n";
}  // namespace zav
