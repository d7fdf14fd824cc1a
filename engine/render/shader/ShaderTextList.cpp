#include "engine/render/shader/ShaderTexts.h"

namespace zav {

const NamedShaderText* ShaderTextList(int* count) {
#define ZAV_TEXT(name) {#name, name}
    static const NamedShaderText kTexts[] = {
        ZAV_TEXT(kColorVertexText),          ZAV_TEXT(kColorWaveVertexText),
        ZAV_TEXT(kColorPixelText),           ZAV_TEXT(kTextureVertexText),
        ZAV_TEXT(kTextureWaveVertexText),    ZAV_TEXT(kTextureSkinVertexText),
        ZAV_TEXT(kTexturePixelText),         ZAV_TEXT(kLitVertexText11),
        ZAV_TEXT(kLitWaveVertexText11),      ZAV_TEXT(kLitVertexText20),
        ZAV_TEXT(kLitWaveVertexText20),      ZAV_TEXT(kLitSkinVertexText20),
        ZAV_TEXT(kLitPixelText11),           ZAV_TEXT(kLitPixelText20),
        ZAV_TEXT(kTwoLightVertexText11),     ZAV_TEXT(kTwoLightWaveVertexText11),
        ZAV_TEXT(kTwoLightVertexText20),     ZAV_TEXT(kTwoLightWaveVertexText20),
        ZAV_TEXT(kTwoLightSkinVertexText20), ZAV_TEXT(kTwoLightPixelText20),
        ZAV_TEXT(kGlowDownsampleVertexText), ZAV_TEXT(kGlowDownsamplePixelText),
        ZAV_TEXT(kGlowBlurVertexText),       ZAV_TEXT(kGlowBlurPixelText),
        ZAV_TEXT(kGlowCombineVertexText),    ZAV_TEXT(kGlowCombinePixelText),
    };
#undef ZAV_TEXT
    *count = static_cast<int>(sizeof kTexts / sizeof kTexts[0]);
    return kTexts;
}

}  // namespace zav
