#pragma once

// The program's shader texts: the vertex and pixel shaders of the built-in
// geometry effects (per effect, variant and shader level) and of the glow
// post effect. All assemble with AssembleShader (ShaderAssembler.h).
//
// Matrices. Every matrix is uploaded as four constant registers holding its
// columns, i.e. the engine's row-vector Matrix4 (p' = p * M) transposed:
// register k = column k, so `dp4 r.x, p, c[k]` gives component k of p * M and
// `m4x4 oPos, p, c0` multiplies by the matrix in c0-c3. Bone matrices use
// the same form; their fourth register is not read.
//
// Vertex inputs (each text declares only what it reads):
//   v0  dcl_position      position (x, y, z; w defaults to 1)
//   v1  dcl_blendweight   four bone weights (skin texts)
//   v2  dcl_blendindices  four bone indices as floats (skin texts)
//   v3  dcl_normal        normal (lit texts)
//   v7  dcl_texcoord0     texture coordinates of the effect's chosen set,
//                         bound as usage index 0 (texture and lit texts)
// The glow texts read only v0 (the quad's position).
//
// Vertex constants, plain and wave texts of the colour and texture effects:
//   c0-c3 world x view x projection, c4-c7 world x view (only c6, the column
//   giving view-space depth, is read), c8 colour (r, g, b, a), c9 fog
//   (x = density, y = exponent), c10 wave (x = amplitude, y = speed,
//   z = time; wave texts only).
// Skin texts (shader model 2.0): c0-c3 view x projection, c4-c7 view, from
//   c8 the bone matrices, four registers per bone (bone i at c[8 + 4 i], up
//   to 50 bones), c208 colour (texture effect) or camera position in world
//   space (lit effects), c209 fog as c9.
// Lit texts, shader model 1.1 (lighting per vertex): c0-c7 as above,
//   c8 material ambient, c9 material diffuse, c10 light ambient,
//   c11 directional light diffuse, c12 light direction in object space,
//   1DL: c13 fog, c14 wave; 1DL1PL: c13 point light diffuse, c14 point light
//   position in object space, c15 fog, c16 wave (the wave text only).
// Lit texts, shader model 2.0 (lighting per pixel): c0-c7 as above, c8 camera
//   position in object space, c9 fog, c10 wave.
// Lit pixel constants, shader model 2.0: c0 material ambient, c1 material
//   diffuse, c2 light ambient, c3 directional light diffuse, c4 light
//   direction in object space (world space with the skin texts), 1DL1PL:
//   c5 point light diffuse, c6 point light position (object space; world
//   space with the skin texts).
// The light direction is used as given: the diffuse term is
// max(N . direction, 0), so it must point from the surface towards the light.
// Lit colours: ambient x ambient + material diffuse x (light diffuse x
// max(N . L, 0) summed over the lights); alpha is the material diffuse alpha
// (times the texture's alpha). The texts `def` their own constants above the
// registers the effects upload. Fog: f = 1 / e^((density z)^exponent), z the
// view-space depth, computed with two `lit` instructions.
//
// Vertex outputs: oPos, oFog; colour and texture texts oD0 (colour), oT0
// (texture coordinates); lit 1.1 texts oD0 (lit colour), oD1 = 0 (no
// specular), oT0; lit 2.0 texts oT0, oT1 normal, oT2 view vector (camera
// position - position), 1DL1PL also oT3 position.

#include <cstdint>

namespace zav {

enum class ShaderEffect : uint8_t {
    kColor,          // ColorEffect
    kTexture,        // TextureEffect
    kTexture1DL,     // Texture1DLEffect
    kTexture1DL1PL,  // Texture1DL1PLEffect
};

enum class ShaderVariant : uint8_t { kPlain, kWave, kSkin };

// The vertex text for vertexShaderLevel `level` (0, 1 or 2), or null for
// another level.
const char* VertexShaderText(ShaderEffect effect, ShaderVariant variant, int32_t level);
// The pixel text for pixelShaderLevel `level` (0, 1 or 2), or null.
const char* PixelShaderText(ShaderEffect effect, ShaderVariant variant, int32_t level);
// True when VertexShaderText gives a skin text, whose constants follow the
// skin layout; the skin variant at level 0 uses the plain text and layout.
bool IsSkinVertexText(ShaderEffect effect, ShaderVariant variant, int32_t level);

// Colour effect: vertex texts (shader model 1.1) and the pixel text.
extern const char kColorVertexText[];
extern const char kColorWaveVertexText[];
extern const char kColorPixelText[];
// Texture effect.
extern const char kTextureVertexText[];
extern const char kTextureWaveVertexText[];
extern const char kTextureSkinVertexText[];  // shader model 2.0
extern const char kTexturePixelText[];
// Texture lit by one directional light: per vertex (1.1), per pixel (2.0).
extern const char kLitVertexText11[];
extern const char kLitWaveVertexText11[];
extern const char kLitVertexText20[];
extern const char kLitWaveVertexText20[];
extern const char kLitSkinVertexText20[];
extern const char kLitPixelText11[];  // also the 1.1 pixel text of the two-light effect
extern const char kLitPixelText20[];
// Texture lit by a directional and a point light.
extern const char kTwoLightVertexText11[];
extern const char kTwoLightWaveVertexText11[];
extern const char kTwoLightVertexText20[];
extern const char kTwoLightWaveVertexText20[];
extern const char kTwoLightSkinVertexText20[];
extern const char kTwoLightPixelText20[];

// Glow post effect (shader model 2.0). The vertex texts map the quad's
// position p to clip position (p.x, p.y, 0, 1) and texture coordinates
// t = 0.5 (1 + p.x, 1 - p.y) + c1, c1 being half a texel of the target
// drawn into (0.5 / width, 0.5 / height): Direct3D 9 puts pixel centres on
// whole coordinates, so without it every pixel would read between two
// texels and the picture would blur and move by half a pixel at each step.
// Downsample: vertex c0 = (1 / width, 1 / height) of the source; outputs
// oT0 = t, oT1 = t + (c0.x, 0), oT2 = t - (c0.x, 0), oT3 = t + (0, c0.y),
// oT4 = t - (0, c0.y); the pixel text averages the five samples of s0.
extern const char kGlowDownsampleVertexText[];
extern const char kGlowDownsamplePixelText[];
// Blur: vertex c0 = the tap step (x, y); outputs oT0..oT4 = t - 2 c0, t - c0,
// t, t + c0, t + 2 c0; the pixel text weighs the samples of s0 by 2/17,
// 4/17, 5/17, 4/17, 2/17.
extern const char kGlowBlurVertexText[];
extern const char kGlowBlurPixelText[];
// Combine: oT0 = t; the pixel text writes s0 + s1 x pixel c0.x.
extern const char kGlowCombineVertexText[];
extern const char kGlowCombinePixelText[];

struct NamedShaderText {
    const char* name;
    const char* text;
};
// Every text above with its name, for tests and tools.
const NamedShaderText* ShaderTextList(int* count);

}  // namespace zav
