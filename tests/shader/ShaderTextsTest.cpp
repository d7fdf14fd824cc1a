#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/shader/ShaderAssembler.h"
#include "engine/render/shader/ShaderTexts.h"

namespace zav {
namespace {

std::vector<uint32_t> Assembled(const char* text) {
    std::vector<uint32_t> tokens;
    String errors;
    EXPECT_EQ(AssembleShader(text, static_cast<int32_t>(std::strlen(text)), tokens, errors), kOk) << errors.CStr();
    return tokens;
}

TEST(ShaderTexts, EveryTextAssembles) {
    int count = 0;
    const NamedShaderText* texts = ShaderTextList(&count);
    ASSERT_EQ(count, 26);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(texts[i].name);
        EXPECT_FALSE(Assembled(texts[i].text).empty());
    }
}

TEST(ShaderTexts, QuotedTextsAreExact) {
    EXPECT_STREQ(kColorPixelText, "ps.1.1\nmov r0, v0\n");
    EXPECT_STREQ(kTexturePixelText, "ps.1.1\ntex t0\nmul r0, v0, t0\n");
    EXPECT_STREQ(kLitPixelText11, "ps.1.1\ntex t0\nmad r0, t0, v0, v1\n");
    EXPECT_STREQ(kGlowCombinePixelText,
                 "ps_2_0\ndcl_2d s0\ndcl_2d s1\ndcl t0.xy\ntexld r1, t0, s0\ntexld r0, t0, s1\n"
                 "mad r0, r0, c0.x, r1\nmov oC0, r0\n");
    const std::string color = kColorVertexText;
    EXPECT_EQ(color.rfind("vs_1_1\ndef c10, 2.71828, 0, 0, 0\ndcl_position v0\nmov oD0, c8\nm4x4 oPos, v0, c0\n", 0),
              0u);
    const std::string texture = kTextureVertexText;
    EXPECT_NE(texture.find("dcl_texcoord0 v7\n"), std::string::npos);
    // The whole coordinate set goes on, so that cube and volume textures get
    // their third coordinate.
    EXPECT_NE(texture.find("mov oT0, v7\n"), std::string::npos);
    EXPECT_NE(std::string(kGlowDownsamplePixelText).find("def c0, 0.200000, 0.000000, 0.000000, 0.000000\n"),
              std::string::npos);
    EXPECT_NE(std::string(kGlowBlurPixelText).find("def c0, 0.117647, 0.235294, 0.294118, 0.000000\n"),
              std::string::npos);
}

// The lowest register each text may define: the effects upload everything
// below it (ShaderTexts.h).
struct Layout {
    const char* text;
    int firstFree;
};

int LowestDefinition(const std::vector<uint32_t>& tokens) {
    int lowest = 1 << 20;
    const bool model2 = ((tokens[0] >> 8) & 0xFF) >= 2;
    for (size_t at = 1; at < tokens.size() && tokens[at] != 0x0000FFFF;) {
        const uint32_t opcode = tokens[at] & 0xFFFF;
        if (opcode == 81) {
            lowest = std::min(lowest, static_cast<int>(tokens[at + 1] & 0x7FF));
            at += 6;
        } else if (model2) {
            at += 1 + ((tokens[at] >> 24) & 0xF);
        } else if (opcode == 31) {
            at += 3;
        } else {
            break;  // model 1.x: declarations and definitions come first
        }
    }
    return lowest;
}

TEST(ShaderTexts, DefinitionsStayAboveTheUploadedRegisters) {
    const Layout layouts[] = {
        {kColorVertexText, 10},          {kColorWaveVertexText, 11},      {kTextureVertexText, 10},
        {kTextureWaveVertexText, 11},    {kTextureSkinVertexText, 210},   {kLitVertexText11, 14},
        {kLitWaveVertexText11, 15},      {kLitVertexText20, 10},          {kLitWaveVertexText20, 11},
        {kLitSkinVertexText20, 210},     {kLitPixelText20, 5},            {kTwoLightVertexText11, 16},
        {kTwoLightWaveVertexText11, 17}, {kTwoLightVertexText20, 10},     {kTwoLightWaveVertexText20, 11},
        {kTwoLightSkinVertexText20, 210}, {kTwoLightPixelText20, 7},      {kGlowDownsampleVertexText, 2},
        {kGlowBlurVertexText, 2},        {kGlowCombineVertexText, 2},
    };
    for (const Layout& layout : layouts) {
        const std::vector<uint32_t> tokens = Assembled(layout.text);
        ASSERT_FALSE(tokens.empty());
        const int lowest = LowestDefinition(tokens);
        EXPECT_LT(lowest, 256) << layout.text;
        EXPECT_GE(lowest, layout.firstFree) << layout.text;
    }
}

TEST(ShaderTexts, SelectionFollowsEffectVariantAndLevel) {
    using E = ShaderEffect;
    using V = ShaderVariant;
    struct Row {
        E effect;
        V variant;
        const char* vertex[3];
        const char* pixel[3];
    };
    const Row rows[] = {
        {E::kColor, V::kPlain, {kColorVertexText, kColorVertexText, kColorVertexText},
         {kColorPixelText, kColorPixelText, kColorPixelText}},
        {E::kColor, V::kSkin, {kColorVertexText, kColorVertexText, kColorVertexText},
         {kColorPixelText, kColorPixelText, kColorPixelText}},
        {E::kColor, V::kWave, {kColorWaveVertexText, kColorWaveVertexText, kColorWaveVertexText},
         {kColorPixelText, kColorPixelText, kColorPixelText}},
        {E::kTexture, V::kPlain, {kTextureVertexText, kTextureVertexText, kTextureVertexText},
         {kTexturePixelText, kTexturePixelText, kTexturePixelText}},
        {E::kTexture, V::kWave, {kTextureWaveVertexText, kTextureWaveVertexText, kTextureWaveVertexText},
         {kTexturePixelText, kTexturePixelText, kTexturePixelText}},
        {E::kTexture, V::kSkin, {kTextureVertexText, kTextureSkinVertexText, kTextureSkinVertexText},
         {kTexturePixelText, kTexturePixelText, kTexturePixelText}},
        {E::kTexture1DL, V::kPlain, {kLitVertexText11, kLitVertexText20, kLitVertexText20},
         {kLitPixelText11, kLitPixelText20, kLitPixelText20}},
        {E::kTexture1DL, V::kWave, {kLitWaveVertexText11, kLitWaveVertexText20, kLitWaveVertexText20},
         {kLitPixelText11, kLitPixelText20, kLitPixelText20}},
        {E::kTexture1DL, V::kSkin, {kLitVertexText11, kLitSkinVertexText20, kLitSkinVertexText20},
         {kLitPixelText11, kLitPixelText20, kLitPixelText20}},
        {E::kTexture1DL1PL, V::kPlain, {kTwoLightVertexText11, kTwoLightVertexText20, kTwoLightVertexText20},
         {kLitPixelText11, kTwoLightPixelText20, kTwoLightPixelText20}},
        {E::kTexture1DL1PL, V::kWave,
         {kTwoLightWaveVertexText11, kTwoLightWaveVertexText20, kTwoLightWaveVertexText20},
         {kLitPixelText11, kTwoLightPixelText20, kTwoLightPixelText20}},
        {E::kTexture1DL1PL, V::kSkin,
         {kTwoLightVertexText11, kTwoLightSkinVertexText20, kTwoLightSkinVertexText20},
         {kLitPixelText11, kTwoLightPixelText20, kTwoLightPixelText20}},
    };
    for (const Row& row : rows) {
        for (int level = 0; level < 3; ++level) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(row.effect) << " " << static_cast<int>(row.variant)
                                            << " level " << level);
            EXPECT_EQ(VertexShaderText(row.effect, row.variant, level), row.vertex[level]);
            EXPECT_EQ(PixelShaderText(row.effect, row.variant, level), row.pixel[level]);
            const bool skinText = row.vertex[level] == kTextureSkinVertexText ||
                                  row.vertex[level] == kLitSkinVertexText20 ||
                                  row.vertex[level] == kTwoLightSkinVertexText20;
            EXPECT_EQ(IsSkinVertexText(row.effect, row.variant, level), skinText);
        }
        EXPECT_EQ(VertexShaderText(row.effect, row.variant, 3), nullptr);
        EXPECT_EQ(VertexShaderText(row.effect, row.variant, -1), nullptr);
        EXPECT_EQ(PixelShaderText(row.effect, row.variant, 4), nullptr);
        EXPECT_FALSE(IsSkinVertexText(row.effect, row.variant, 4));
    }
}

// Level 0 texts are shader model 1.1, the others 2.0.
TEST(ShaderTexts, LevelsMatchShaderModels) {
    for (ShaderEffect effect : {ShaderEffect::kColor, ShaderEffect::kTexture, ShaderEffect::kTexture1DL,
                                ShaderEffect::kTexture1DL1PL}) {
        for (ShaderVariant variant : {ShaderVariant::kPlain, ShaderVariant::kWave, ShaderVariant::kSkin}) {
            for (int level = 0; level < 3; ++level) {
                const uint32_t vertex = Assembled(VertexShaderText(effect, variant, level))[0];
                const uint32_t pixel = Assembled(PixelShaderText(effect, variant, level))[0];
                if (level == 0) {
                    EXPECT_EQ(vertex, 0xFFFE0101u);
                    EXPECT_EQ(pixel, 0xFFFF0101u);
                } else {
                    EXPECT_TRUE(vertex == 0xFFFE0101u || vertex == 0xFFFE0200u);
                    EXPECT_TRUE(pixel == 0xFFFF0101u || pixel == 0xFFFF0200u);
                }
            }
        }
    }
}

}  // namespace
}  // namespace zav
