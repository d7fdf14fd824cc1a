#include "engine/render/shader/ShaderTexts.h"

#include "engine/render/shader/ShaderTextFragments.h"

namespace zav {

// Colour effect.
const char kColorVertexText[] =
    "vs_1_1\n"
    "def c10, 2.71828, 0, 0, 0\n"
    "dcl_position v0\n"
    "mov oD0, c8\n"
    "m4x4 oPos, v0, c0\n"
    ZAV_FOG("v0", "c9", "c10.x");

const char kColorWaveVertexText[] =
    "vs_1_1\n"
    ZAV_WAVE_CONSTANTS("c11", "c12", "c13", "c14")
    "dcl_position v0\n"
    ZAV_WAVE("c10", "c11", "c12", "c13", "c14")
    "mov oD0, c8\n"
    "m4x4 oPos, r0, c0\n"
    ZAV_FOG("r0", "c9", "c11.x");

const char kColorPixelText[] =
    "ps.1.1\n"
    "mov r0, v0\n";

// Texture effect.
const char kTextureVertexText[] =
    "vs_1_1\n"
    "def c10, 2.71828, 0, 0, 0\n"
    "dcl_position v0\n"
    "dcl_texcoord0 v7\n"
    "mov oD0, c8\n"
    "m4x4 oPos, v0, c0\n"
    "mov oT0.xy, v7\n"
    ZAV_FOG("v0", "c9", "c10.x");

const char kTextureWaveVertexText[] =
    "vs_1_1\n"
    ZAV_WAVE_CONSTANTS("c11", "c12", "c13", "c14")
    "dcl_position v0\n"
    "dcl_texcoord0 v7\n"
    ZAV_WAVE("c10", "c11", "c12", "c13", "c14")
    "mov oD0, c8\n"
    "m4x4 oPos, r0, c0\n"
    "mov oT0.xy, v7\n"
    ZAV_FOG("r0", "c9", "c11.x");

const char kTextureSkinVertexText[] =
    "vs_2_0\n"
    ZAV_SKIN_CONSTANTS
    "dcl_position v0\n"
    "dcl_blendweight v1\n"
    "dcl_blendindices v2\n"
    "dcl_texcoord0 v7\n"
    ZAV_SKIN_BONES
    ZAV_SKIN_POSITION
    "m4x4 oPos, r5, c0\n"
    "mov oD0, c208\n"
    "mov oT0.xy, v7\n"
    ZAV_FOG("r5", "c209", "c210.x");

const char kTexturePixelText[] =
    "ps.1.1\n"
    "tex t0\n"
    "mul r0, v0, t0\n";

// Lit by one directional light, per vertex (shader model 1.1).
const char kLitVertexText11[] =
    "vs_1_1\n"
    "def c15, 2.71828, 0, 0, 0\n"
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    "m4x4 oPos, v0, c0\n"
    "mov oT0.xy, v7\n"
    ZAV_VERTEX_NORMAL
    ZAV_VERTEX_DIRECTIONAL("c15.y")
    ZAV_VERTEX_LIT_COLOR("c15.y")
    ZAV_FOG("v0", "c13", "c15.x");

const char kLitWaveVertexText11[] =
    "vs_1_1\n"
    ZAV_WAVE_CONSTANTS("c15", "c16", "c17", "c18")
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    ZAV_WAVE("c14", "c15", "c16", "c17", "c18")
    "m4x4 oPos, r0, c0\n"
    "mov oT0.xy, v7\n"
    ZAV_VERTEX_NORMAL
    ZAV_VERTEX_DIRECTIONAL("c15.y")
    ZAV_VERTEX_LIT_COLOR("c15.y")
    ZAV_FOG("r0", "c13", "c15.x");

const char kLitPixelText11[] =
    "ps.1.1\n"
    "tex t0\n"
    "mad r0, t0, v0, v1\n";

// Lit by one directional light, per pixel (shader model 2.0).
const char kLitVertexText20[] =
    "vs_2_0\n"
    "def c11, 2.71828, 0, 0, 0\n"
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    "m4x4 oPos, v0, c0\n"
    ZAV_PER_PIXEL_OUTPUTS("v0", "v3", "c8")
    ZAV_FOG("v0", "c9", "c11.x");

const char kLitWaveVertexText20[] =
    "vs_2_0\n"
    ZAV_WAVE_CONSTANTS("c11", "c12", "c13", "c14")
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    ZAV_WAVE("c10", "c11", "c12", "c13", "c14")
    "m4x4 oPos, r0, c0\n"
    ZAV_PER_PIXEL_OUTPUTS("r0", "v3", "c8")
    ZAV_FOG("r0", "c9", "c11.x");

const char kLitSkinVertexText20[] =
    "vs_2_0\n"
    ZAV_SKIN_CONSTANTS
    "dcl_position v0\n"
    "dcl_blendweight v1\n"
    "dcl_blendindices v2\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    ZAV_SKIN_BONES
    ZAV_SKIN_POSITION
    ZAV_SKIN_NORMAL
    "m4x4 oPos, r5, c0\n"
    ZAV_PER_PIXEL_OUTPUTS("r5", "r6", "c208")
    ZAV_FOG("r5", "c209", "c210.x");

const char kLitPixelText20[] =
    "ps_2_0\n"
    ZAV_PIXEL_LIT_DECLARATIONS
    ZAV_PIXEL_DIRECTIONAL
    ZAV_PIXEL_LIT_COLOR;

// Lit by a directional and a point light, per vertex (shader model 1.1).
const char kTwoLightVertexText11[] =
    "vs_1_1\n"
    "def c17, 2.71828, 0, 0, 0\n"
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    "m4x4 oPos, v0, c0\n"
    "mov oT0.xy, v7\n"
    ZAV_VERTEX_NORMAL
    ZAV_VERTEX_DIRECTIONAL("c17.y")
    ZAV_VERTEX_POINT("v0", "c17.y")
    ZAV_VERTEX_LIT_COLOR("c17.y")
    ZAV_FOG("v0", "c15", "c17.x");

const char kTwoLightWaveVertexText11[] =
    "vs_1_1\n"
    ZAV_WAVE_CONSTANTS("c17", "c18", "c19", "c20")
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    ZAV_WAVE("c16", "c17", "c18", "c19", "c20")
    "m4x4 oPos, r0, c0\n"
    "mov oT0.xy, v7\n"
    ZAV_VERTEX_NORMAL
    ZAV_VERTEX_DIRECTIONAL("c17.y")
    ZAV_VERTEX_POINT("r0", "c17.y")
    ZAV_VERTEX_LIT_COLOR("c17.y")
    ZAV_FOG("r0", "c15", "c17.x");

// Lit by a directional and a point light, per pixel (shader model 2.0).
const char kTwoLightVertexText20[] =
    "vs_2_0\n"
    "def c11, 2.71828, 0, 0, 0\n"
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    "m4x4 oPos, v0, c0\n"
    ZAV_PER_PIXEL_OUTPUTS("v0", "v3", "c8")
    "mov oT3.xyz, v0\n"
    ZAV_FOG("v0", "c9", "c11.x");

const char kTwoLightWaveVertexText20[] =
    "vs_2_0\n"
    ZAV_WAVE_CONSTANTS("c11", "c12", "c13", "c14")
    "dcl_position v0\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    ZAV_WAVE("c10", "c11", "c12", "c13", "c14")
    "m4x4 oPos, r0, c0\n"
    ZAV_PER_PIXEL_OUTPUTS("r0", "v3", "c8")
    "mov oT3.xyz, r0\n"
    ZAV_FOG("r0", "c9", "c11.x");

const char kTwoLightSkinVertexText20[] =
    "vs_2_0\n"
    ZAV_SKIN_CONSTANTS
    "dcl_position v0\n"
    "dcl_blendweight v1\n"
    "dcl_blendindices v2\n"
    "dcl_normal v3\n"
    "dcl_texcoord0 v7\n"
    ZAV_SKIN_BONES
    ZAV_SKIN_POSITION
    ZAV_SKIN_NORMAL
    "m4x4 oPos, r5, c0\n"
    ZAV_PER_PIXEL_OUTPUTS("r5", "r6", "c208")
    "mov oT3.xyz, r5\n"
    ZAV_FOG("r5", "c209", "c210.x");

const char kTwoLightPixelText20[] =
    "ps_2_0\n"
    ZAV_PIXEL_LIT_DECLARATIONS
    "dcl t3.xyz\n"
    ZAV_PIXEL_DIRECTIONAL
    ZAV_PIXEL_POINT
    ZAV_PIXEL_LIT_COLOR;

namespace {

// Texts per level 0, 1, 2.
struct LevelTexts {
    const char* level[3];
};

LevelTexts Same(const char* text) { return LevelTexts{{text, text, text}}; }
LevelTexts ByModel(const char* model11, const char* model20) { return LevelTexts{{model11, model20, model20}}; }

LevelTexts VertexTexts(ShaderEffect effect, ShaderVariant variant) {
    const bool wave = variant == ShaderVariant::kWave;
    const bool skin = variant == ShaderVariant::kSkin;
    switch (effect) {
        case ShaderEffect::kColor:
            return Same(wave ? kColorWaveVertexText : kColorVertexText);
        case ShaderEffect::kTexture:
            if (wave) return Same(kTextureWaveVertexText);
            return ByModel(kTextureVertexText, skin ? kTextureSkinVertexText : kTextureVertexText);
        case ShaderEffect::kTexture1DL:
            if (wave) return ByModel(kLitWaveVertexText11, kLitWaveVertexText20);
            return ByModel(kLitVertexText11, skin ? kLitSkinVertexText20 : kLitVertexText20);
        case ShaderEffect::kTexture1DL1PL:
            if (wave) return ByModel(kTwoLightWaveVertexText11, kTwoLightWaveVertexText20);
            return ByModel(kTwoLightVertexText11, skin ? kTwoLightSkinVertexText20 : kTwoLightVertexText20);
    }
    return LevelTexts{};
}

LevelTexts PixelTexts(ShaderEffect effect) {
    switch (effect) {
        case ShaderEffect::kColor: return Same(kColorPixelText);
        case ShaderEffect::kTexture: return Same(kTexturePixelText);
        case ShaderEffect::kTexture1DL: return ByModel(kLitPixelText11, kLitPixelText20);
        case ShaderEffect::kTexture1DL1PL: return ByModel(kLitPixelText11, kTwoLightPixelText20);
    }
    return LevelTexts{};
}

const char* AtLevel(const LevelTexts& texts, int32_t level) {
    return level >= 0 && level < 3 ? texts.level[level] : nullptr;
}

}  // namespace

const char* VertexShaderText(ShaderEffect effect, ShaderVariant variant, int32_t level) {
    return AtLevel(VertexTexts(effect, variant), level);
}

const char* PixelShaderText(ShaderEffect effect, ShaderVariant variant, int32_t level) {
    (void)variant;  // every variant of an effect shares its pixel texts
    return AtLevel(PixelTexts(effect), level);
}

bool IsSkinVertexText(ShaderEffect effect, ShaderVariant variant, int32_t level) {
    const char* text = VertexShaderText(effect, variant, level);
    return text == kTextureSkinVertexText || text == kLitSkinVertexText20 || text == kTwoLightSkinVertexText20;
}

}  // namespace zav
