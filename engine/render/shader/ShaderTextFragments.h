#pragma once

// Pieces that several vertex texts share, as string literals to paste into
// them. Arguments are register names as text ("v0", "c9", "c10.x").
// Registers: r10 and r11 belong to the fog code, r0-r3 to the wave code,
// r0-r2 and r5-r6 to the skin code.

// Writes oFog = 1 / e^((density z)^exponent), z the view-space depth of
// `position` (column 3 of world x view, in c6). `fog` holds the density (x)
// and the exponent (y); `e` names a component holding 2.71828. lit gives
// z = y^w when x > 0 and y > 0 (else 0): the first raises density z to the
// exponent, the second e to that power.
#define ZAV_FOG(position, fog, e) \
    "dp4 r10.y, " position ", c6\n" \
    "mul r10.y, r10.y, " fog ".x\n" \
    "mov r10.x, " e "\n" \
    "mov r10.w, " fog ".y\n" \
    "lit r11, r10\n" \
    "mov r10.y, " e "\n" \
    "mov r10.w, r11.z\n" \
    "lit r11, r10\n" \
    "rcp r11.x, r11.z\n" \
    "mov oFog, r11.x\n"

// Constants of the wave code, defined in four registers:
//   a = (2.71828, 0, 1 / 2 pi, 0.5)   (e and 0 also serve the fog and lighting)
//   b = (2 pi, -pi, 4 / pi, -4 / pi^2)
//   c = (0.5077, 0.3, -0.421, -0.6)    weights of x, y and of z in the phases
//   d = (1, 1.31415, 0.225, 0)         weights of speed x time, sine refinement
#define ZAV_WAVE_CONSTANTS(a, b, c, d) \
    "def " a ", 2.71828, 0, 0.1591549, 0.5\n" \
    "def " b ", 6.283185, -3.141593, 1.273240, -0.4052847\n" \
    "def " c ", 0.5077, 0.3, -0.421, -0.6\n" \
    "def " d ", 1, 1.31415, 0.225, 0\n"

// r0 = v0 displaced by the wind: phase1 = 0.5077 x + speed time - 0.421 z,
// phase2 = 1.31415 speed time + 0.3 y - 0.6 z; each phase is brought into
// [-pi, pi) and its sine approximated by the parabola 4/pi x - 4/pi^2 x|x|
// refined by y + 0.225 (y|y| - y) (error below 0.001); then
// r0 = v0 + (sin(phase1), 0, sin(phase2)) x amplitude x y.
#define ZAV_WAVE(wave, a, b, c, d) \
    "mul r1.x, " wave ".y, " wave ".z\n" \
    "mul r1.xy, r1.x, " d "\n" \
    "mad r1.xy, v0, " c ", r1\n" \
    "mad r1.xy, v0.z, " c ".zw, r1\n" \
    "mad r1.xy, r1, " a ".z, " a ".w\n" \
    "frc r1.xy, r1\n" \
    "mad r1.xy, r1, " b ".x, " b ".y\n" \
    "max r2.xy, r1, -r1\n" \
    "mul r2.xy, r2, r1\n" \
    "mul r2.xy, r2, " b ".w\n" \
    "mad r2.xy, r1, " b ".z, r2\n" \
    "max r3.xy, r2, -r2\n" \
    "mad r3.xy, r2, r3, -r2\n" \
    "mad r2.xy, r3, " d ".z, r2\n" \
    "mul r2.xy, r2, " wave ".x\n" \
    "mul r2.xy, r2, v0.y\n" \
    "mov r0, v0\n" \
    "add r0.xz, r0, r2.xxyy\n"

// The skin texts' own constants: k = (2.71828, 1, 4, 0), after c209.
#define ZAV_SKIN_CONSTANTS "def c210, 2.71828, 1, 4, 0\n"

// a0 = the four bones' first registers relative to c8: 4 x index.
#define ZAV_SKIN_BONES \
    "mul r0, v2, c210.z\n" \
    "mova a0, r0\n"

// r1.xyz = v0 through the bone that a0.`index` selects.
#define ZAV_SKIN_POSITION_BY(index) \
    "dp4 r1.x, v0, c[a0." index " + 8]\n" \
    "dp4 r1.y, v0, c[a0." index " + 9]\n" \
    "dp4 r1.z, v0, c[a0." index " + 10]\n"

// r5 = the weighted sum of the four bones' positions, w = 1.
#define ZAV_SKIN_POSITION \
    ZAV_SKIN_POSITION_BY("x") "mul r5.xyz, r1, v1.x\n" \
    ZAV_SKIN_POSITION_BY("y") "mad r5.xyz, r1, v1.y, r5\n" \
    ZAV_SKIN_POSITION_BY("z") "mad r5.xyz, r1, v1.z, r5\n" \
    ZAV_SKIN_POSITION_BY("w") "mad r5.xyz, r1, v1.w, r5\n" \
    "mov r5.w, c210.y\n"

// r2.xyz = the normal v3 through the rotation of the bone a0.`index` selects.
#define ZAV_SKIN_NORMAL_BY(index) \
    "dp3 r2.x, v3, c[a0." index " + 8]\n" \
    "dp3 r2.y, v3, c[a0." index " + 9]\n" \
    "dp3 r2.z, v3, c[a0." index " + 10]\n"

// r6.xyz = the weighted sum of the four bones' normals (in world space).
#define ZAV_SKIN_NORMAL \
    ZAV_SKIN_NORMAL_BY("x") "mul r6.xyz, r2, v1.x\n" \
    ZAV_SKIN_NORMAL_BY("y") "mad r6.xyz, r2, v1.y, r6\n" \
    ZAV_SKIN_NORMAL_BY("z") "mad r6.xyz, r2, v1.z, r6\n" \
    ZAV_SKIN_NORMAL_BY("w") "mad r6.xyz, r2, v1.w, r6\n"

// Lighting per vertex (shader model 1.1). `zero` names a component holding 0.
// r4.xyz = the normal v3 normalised.
#define ZAV_VERTEX_NORMAL \
    "dp3 r4.w, v3, v3\n" \
    "rsq r4.w, r4.w\n" \
    "mul r4.xyz, v3, r4.w\n"

// r6 = directional light diffuse (c11) x max(N . c12, 0).
#define ZAV_VERTEX_DIRECTIONAL(zero) \
    "dp3 r6.x, r4, c12\n" \
    "max r6.x, r6.x, " zero "\n" \
    "mul r6, r6.x, c11\n"

// r6 += point light diffuse (c13) x max(N . normalize(c14 - position), 0).
#define ZAV_VERTEX_POINT(position, zero) \
    "sub r5, c14, " position "\n" \
    "dp3 r5.w, r5, r5\n" \
    "rsq r5.w, r5.w\n" \
    "mul r5.xyz, r5, r5.w\n" \
    "dp3 r5.x, r4, r5\n" \
    "max r5.x, r5.x, " zero "\n" \
    "mad r6, r5.x, c13, r6\n"

// oD0 = light ambient (c10) x material ambient (c8) + material diffuse (c9)
// x r6, alpha = material diffuse alpha; oD1 = 0.
#define ZAV_VERTEX_LIT_COLOR(zero) \
    "mul r6, r6, c9\n" \
    "mov r7, c10\n" \
    "mad r6, r7, c8, r6\n" \
    "mov r6.w, c9.w\n" \
    "mov oD0, r6\n" \
    "mov oD1, " zero "\n"

// Lighting per pixel (shader model 2.0): the vertex side hands over the
// normal (oT1), the view vector (oT2) and, for the point light, the position
// (oT3); `camera` holds the camera position in the same space.
#define ZAV_PER_PIXEL_OUTPUTS(position, normal, camera) \
    "mov oT0.xy, v7\n" \
    "mov oT1.xyz, " normal "\n" \
    "sub oT2.xyz, " camera ", " position "\n"

// The pixel side: c7 = 0, texture coordinates t0, normal t1, texture s0.
#define ZAV_PIXEL_LIT_DECLARATIONS \
    "def c7, 0, 0, 0, 0\n" \
    "dcl t0.xy\n" \
    "dcl t1.xyz\n" \
    "dcl_2d s0\n"

// r0 = texture; r1.xyz = normalize(t1);
// r2 = directional light diffuse (c3) x max(n . c4, 0).
#define ZAV_PIXEL_DIRECTIONAL \
    "texld r0, t0, s0\n" \
    "dp3 r1.w, t1, t1\n" \
    "rsq r1.w, r1.w\n" \
    "mul r1.xyz, t1, r1.w\n" \
    "dp3 r2.x, r1, c4\n" \
    "max r2.x, r2.x, c7.x\n" \
    "mul r2, r2.x, c3\n"

// r2 += point light diffuse (c5) x max(n . normalize(c6 - t3), 0).
#define ZAV_PIXEL_POINT \
    "sub r4.xyz, c6, t3\n" \
    "dp3 r4.w, r4, r4\n" \
    "rsq r4.w, r4.w\n" \
    "mul r4.xyz, r4, r4.w\n" \
    "dp3 r4.x, r1, r4\n" \
    "max r4.x, r4.x, c7.x\n" \
    "mad r2, r4.x, c5, r2\n"

// oC0 = texture x (material ambient (c0) x light ambient (c2) + material
// diffuse (c1) x r2), alpha = texture alpha x material diffuse alpha.
#define ZAV_PIXEL_LIT_COLOR \
    "mul r2, r2, c1\n" \
    "mov r3, c0\n" \
    "mad r2, r3, c2, r2\n" \
    "mov r2.w, c1.w\n" \
    "mul r0, r0, r2\n" \
    "mov oC0, r0\n"
