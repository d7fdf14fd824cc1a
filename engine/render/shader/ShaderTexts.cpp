#include "engine/render/shader/ShaderTexts.h"

#include "engine/render/shader/ShaderTextFragments.h"

namespace zav {

// Each family of texts is one macro; its arguments are the lines that
// differ between the members.

// Colour and texture texts, shader model 1.1: `inputs` and `copy` add the
// texture coordinates.
#define ZAV_UNLIT_VERTEX(inputs, copy) \
    "vs_1_1\n" \
    "def c10, 2.71828, 0, 0, 0\n" \
    "dcl_position v0\n" \
    inputs \
    "mov oD0, c8\n" \
    "m4x4 oPos, v0, c0\n" \
    copy \
    ZAV_FOG("v0", "c9", "c10.x")

#define ZAV_UNLIT_WAVE_VERTEX(inputs, copy) \
    "vs_1_1\n" \
    ZAV_WAVE_CONSTANTS("c11", "c12", "c13", "c14") \
    "dcl_position v0\n" \
    inputs \
    ZAV_WAVE("c10", "c11", "c12", "c13", "c14") \
    "mov oD0, c8\n" \
    "m4x4 oPos, r0, c0\n" \
    copy \
    ZAV_FOG("r0", "c9", "c11.x")

#define ZAV_TEXCOORD_INPUT "dcl_texcoord0 v7\n"
// All of the set: two components for pictures, three for cube and volume
// textures (the missing ones read as 0 and 1).
#define ZAV_TEXCOORD_COPY "mov oT0, v7\n"
#define ZAV_LIT_INPUTS "dcl_normal v3\n" ZAV_TEXCOORD_INPUT

// Skin texts, shader model 2.0: r5 = the skinned position; `normal` adds
// the skinned normal (r6), `outputs` what the effect hands on.
#define ZAV_SKIN_VERTEX(inputs, normal, outputs) \
    "vs_2_0\n" \
    ZAV_SKIN_CONSTANTS \
    "dcl_position v0\n" \
    "dcl_blendweight v1\n" \
    "dcl_blendindices v2\n" \
    inputs \
    ZAV_SKIN_BONES \
    ZAV_SKIN_POSITION \
    normal \
    "m4x4 oPos, r5, c0\n" \
    outputs \
    ZAV_FOG("r5", "c209", "c210.x")

// Lit texts lighting per vertex (shader model 1.1). `constants` are the
// text's own definitions, `displace` moves the vertex into `position`,
// `point` adds the point light; `fog`, `zero` and `e` name registers.
#define ZAV_LIT_VERTEX11(constants, displace, position, point, fog, zero, e) \
    "vs_1_1\n" \
    constants \
    "dcl_position v0\n" \
    ZAV_LIT_INPUTS \
    displace \
    "m4x4 oPos, " position ", c0\n" \
    ZAV_TEXCOORD_COPY \
    ZAV_VERTEX_NORMAL \
    ZAV_VERTEX_DIRECTIONAL(zero) \
    point \
    ZAV_VERTEX_LIT_COLOR(zero) \
    ZAV_FOG(position, fog, e)

// Lit texts lighting per pixel (shader model 2.0); `point` hands on the
// position for the point light.
#define ZAV_PER_PIXEL_VERTEX(point) \
    "vs_2_0\n" \
    "def c11, 2.71828, 0, 0, 0\n" \
    "dcl_position v0\n" \
    ZAV_LIT_INPUTS \
    "m4x4 oPos, v0, c0\n" \
    ZAV_PER_PIXEL_OUTPUTS("v0", "v3", "c8") \
    point \
    ZAV_FOG("v0", "c9", "c11.x")

#define ZAV_PER_PIXEL_WAVE_VERTEX(point) \
    "vs_2_0\n" \
    ZAV_WAVE_CONSTANTS("c11", "c12", "c13", "c14") \
    "dcl_position v0\n" \
    ZAV_LIT_INPUTS \
    ZAV_WAVE("c10", "c11", "c12", "c13", "c14") \
    "m4x4 oPos, r0, c0\n" \
    ZAV_PER_PIXEL_OUTPUTS("r0", "v3", "c8") \
    point \
    ZAV_FOG("r0", "c9", "c11.x")

// Colour effect.
const char kColorVertexText[] = ZAV_UNLIT_VERTEX("", "");
const char kColorWaveVertexText[] = ZAV_UNLIT_WAVE_VERTEX("", "");
const char kColorPixelText[] =
    "ps.1.1\n"
    "mov r0, v0\n";

// Texture effect.
const char kTextureVertexText[] = ZAV_UNLIT_VERTEX(ZAV_TEXCOORD_INPUT, ZAV_TEXCOORD_COPY);
const char kTextureWaveVertexText[] = ZAV_UNLIT_WAVE_VERTEX(ZAV_TEXCOORD_INPUT, ZAV_TEXCOORD_COPY);
const char kTextureSkinVertexText[] =
    ZAV_SKIN_VERTEX(ZAV_TEXCOORD_INPUT, "", "mov oD0, c208\n" ZAV_TEXCOORD_COPY);
const char kTexturePixelText[] =
    "ps.1.1\n"
    "tex t0\n"
    "mul r0, v0, t0\n";

// Lit by one directional light.
const char kLitVertexText11[] =
    ZAV_LIT_VERTEX11("def c15, 2.71828, 0, 0, 0\n", "", "v0", "", "c13", "c15.y", "c15.x");
const char kLitWaveVertexText11[] =
    ZAV_LIT_VERTEX11(ZAV_WAVE_CONSTANTS("c15", "c16", "c17", "c18"), ZAV_WAVE("c14", "c15", "c16", "c17", "c18"),
                     "r0", "", "c13", "c15.y", "c15.x");
const char kLitVertexText20[] = ZAV_PER_PIXEL_VERTEX("");
const char kLitWaveVertexText20[] = ZAV_PER_PIXEL_WAVE_VERTEX("");
const char kLitSkinVertexText20[] =
    ZAV_SKIN_VERTEX(ZAV_LIT_INPUTS, ZAV_SKIN_NORMAL, ZAV_PER_PIXEL_OUTPUTS("r5", "r6", "c208"));
const char kLitPixelText11[] =
    "ps.1.1\n"
    "tex t0\n"
    "mad r0, t0, v0, v1\n";
const char kLitPixelText20[] =
    "ps_2_0\n"
    ZAV_PIXEL_LIT_DECLARATIONS
    ZAV_PIXEL_DIRECTIONAL
    ZAV_PIXEL_LIT_COLOR;

// Lit by a directional and a point light.
const char kTwoLightVertexText11[] =
    ZAV_LIT_VERTEX11("def c17, 2.71828, 0, 0, 0\n", "", "v0", ZAV_VERTEX_POINT("v0", "c17.y"), "c15", "c17.y",
                     "c17.x");
const char kTwoLightWaveVertexText11[] =
    ZAV_LIT_VERTEX11(ZAV_WAVE_CONSTANTS("c17", "c18", "c19", "c20"), ZAV_WAVE("c16", "c17", "c18", "c19", "c20"),
                     "r0", ZAV_VERTEX_POINT("r0", "c17.y"), "c15", "c17.y", "c17.x");
const char kTwoLightVertexText20[] = ZAV_PER_PIXEL_VERTEX("mov oT3.xyz, v0\n");
const char kTwoLightWaveVertexText20[] = ZAV_PER_PIXEL_WAVE_VERTEX("mov oT3.xyz, r0\n");
const char kTwoLightSkinVertexText20[] = ZAV_SKIN_VERTEX(
    ZAV_LIT_INPUTS, ZAV_SKIN_NORMAL, ZAV_PER_PIXEL_OUTPUTS("r5", "r6", "c208") "mov oT3.xyz, r5\n");
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
