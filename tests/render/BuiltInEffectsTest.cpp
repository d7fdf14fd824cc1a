// The five built-in effects: their records, the techniques they choose on
// renderers of different capabilities, their fixed-function passes and what
// their shader passes bind and upload.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/animation/SkinController.h"
#include "engine/core/Log.h"
#include "engine/render/Technique.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/SpriteEffect.h"
#include "engine/render/effects/Texture1DL1PLEffect.h"
#include "engine/render/effects/Texture1DLEffect.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/render/shader/ShaderTexts.h"
#include "engine/scene/Flare.h"
#include "engine/scene/TransformMath.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StreamBytes.h"

namespace zav {
namespace {

class BuiltInEffects : public test::RenderFixture {
protected:
    void SetLevels(int32_t vertex, int32_t pixel, int32_t textures = 8, int32_t lights = 8) {
        RendererCaps caps = renderer->GetCaps();
        caps.vertexShaderLevel = vertex;
        caps.pixelShaderLevel = pixel;
        caps.maxTextures = textures;
        caps.maxLights = lights;
        renderer->SetCaps(caps);
    }
    static std::string Chosen(Effect& effect, Renderer& renderer) {
        effect.GetPassCount(renderer);
        return effect.GetCurrentTechnique() ? effect.GetCurrentTechnique()->GetName() : "";
    }
    // Register `index` as last uploaded, compared with four values.
    ::testing::AssertionResult VertexRegister(int index, std::initializer_list<float> expected) {
        return Near(renderer->GetVertexConstant(index), expected, "c");
    }
    ::testing::AssertionResult PixelRegister(int index, std::initializer_list<float> expected) {
        return Near(renderer->GetPixelConstant(index), expected, "pixel c");
    }
    static ::testing::AssertionResult Near(const float* actual, std::initializer_list<float> expected,
                                           const char* what) {
        int k = 0;
        for (float value : expected) {
            if (std::fabs(actual[k] - value) > 1e-4f)
                return ::testing::AssertionFailure() << what << " component " << k << " is " << actual[k]
                                                     << ", not " << value;
            ++k;
        }
        return ::testing::AssertionSuccess();
    }
};

TEST_F(BuiltInEffects, TechniquesAreTriedNewestFirstAndFallBackByCapability) {
    const struct {
        int32_t vertex, pixel, textures, lights;
        const char *color, *texture, *lit, *twoLights, *sprite;
    } cases[] = {
        {kShaderModel2, kShaderModel2, 8, 8, "colour shader", "texture shader", "lit shader", "two-light shader",
         "sprite fixed function"},
        {kNoShaders, kNoShaders, 8, 8, "colour fixed function", "texture fixed function", "lit fixed function",
         "two-light fixed function", "sprite fixed function"},
        // A vertex shader level alone is not enough for the shader techniques.
        {kShaderModel2, kNoShaders, 1, 8, "colour fixed function", "texture fixed function",
         "texture fixed function", "texture fixed function", "sprite fixed function"},
        {kShaderModel1, kShaderModel1, 8, 0, "colour shader", "texture shader", "texture shader", "texture shader",
         "sprite fixed function"},
        {kNoShaders, kNoShaders, 0, 8, "colour fixed function", "colour fixed function", "colour fixed function",
         "colour fixed function", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.color) + " / " + c.texture + " / " + c.lit);
        SetLevels(c.vertex, c.pixel, c.textures, c.lights);
        Ref<ColorEffect> color(new ColorEffect());
        Ref<TextureEffect> texture(new TextureEffect());
        Ref<Texture1DLEffect> lit(new Texture1DLEffect());
        Ref<Texture1DL1PLEffect> twoLights(new Texture1DL1PLEffect());
        Ref<SpriteEffect> sprite(new SpriteEffect());
        EXPECT_EQ(Chosen(*color, *renderer), c.color);
        EXPECT_EQ(Chosen(*texture, *renderer), c.texture);
        EXPECT_EQ(Chosen(*lit, *renderer), c.lit);
        EXPECT_EQ(Chosen(*twoLights, *renderer), c.twoLights);
        EXPECT_EQ(Chosen(*sprite, *renderer), c.sprite);
    }
    EXPECT_EQ(Ref<Texture1DLEffect>(new Texture1DLEffect())->GetTechniqueCount(), 6);
    EXPECT_EQ(Ref<Texture1DL1PLEffect>(new Texture1DL1PLEffect())->GetTechniqueCount(), 6);
}

TEST_F(BuiltInEffects, TheColourPassFillsTheNodesColoursEveryTime) {
    SetShaders(false);
    Ref<ColorEffect> effect(new ColorEffect("paint"));
    EXPECT_EQ(effect->GetColor(), (Color{1, 1, 1, 1}));  // opaque white until told otherwise
    effect->SetColor({1, 0.5f, 0, 1});
    Ref<Triangles> node = Triangle("node", effect.Get());
    ASSERT_EQ(node->GetColors(), nullptr);
    node->Render(*renderer);
    ColorBuffer* colors = node->GetColors();
    ASSERT_NE(colors, nullptr);
    ASSERT_EQ(colors->GetCount(), 3);
    EXPECT_EQ((*colors)[2], (Color{1, 0.5f, 0, 1}));
    (*colors)[0] = {0, 0, 0, 0};
    effect->SetColor({0, 0, 1, 1});
    node->Render(*renderer);
    EXPECT_EQ(node->GetColors(), colors);
    EXPECT_EQ((*colors)[0], (Color{0, 0, 1, 1}));
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent").size(), 2u);

    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(effect.Get()));
    ASSERT_NE(ObjectCast<ColorEffect>(loaded.Get()), nullptr);
    EXPECT_EQ(ObjectCast<ColorEffect>(loaded.Get())->GetColor(), (Color{0, 0, 1, 1}));
}

TEST_F(BuiltInEffects, TheTexturePassNeedsTextureStagesAndReadsTheChosenSet) {
    SetShaders(false);
    Ref<Image> image(new Image("bricks", RGB8, 2, 2));
    Ref<TextureEffect> effect(new TextureEffect("wall"));
    effect->SetTexture(new Texture("bricks", image.Get()));
    effect->SetTexCoordSet(9);
    EXPECT_EQ(effect->GetTexCoordSet(), 7);
    effect->SetTexCoordSet(-1);
    EXPECT_EQ(effect->GetTexCoordSet(), 0);
    effect->SetTexCoordSet(2);
    Ref<Triangles> node = Triangle("node", effect.Get());
    node->SetTexCoords(2, test::BufferOf<Vector2Buffer, Vector2>({{0, 0}, {1, 0}, {1, 1}}).Get());
    node->Render(*renderer);
    EXPECT_EQ(renderer->CallsStartingWith("BindTexture"), std::vector<std::string>{"BindTexture bricks 0"});
    EXPECT_NE(node->GetTexCoords(2)->GetHandle(), nullptr);
    EXPECT_EQ(effect->FindObject("bricks"), effect->GetTexture());

    // Without texture stages the colour pass draws instead.
    RendererCaps caps = renderer->GetCaps();
    caps.maxTextures = 0;
    renderer->SetCaps(caps);
    Ref<TextureEffect> untextured(new TextureEffect("plain"));
    Ref<Triangles> other = Triangle("other", untextured.Get());
    renderer->calls.clear();
    other->Render(*renderer);
    EXPECT_TRUE(renderer->CallsStartingWith("BindTexture").empty());
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent"), std::vector<std::string>{"DrawCurrent other"});

    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(effect.Get()));
    auto* read = ObjectCast<TextureEffect>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetTexCoordSet(), 2);
    ASSERT_NE(read->GetTexture(), nullptr);
    EXPECT_EQ(read->GetTexture()->GetName(), String("bricks"));
}

TEST_F(BuiltInEffects, ShaderPassesUploadTheirMatricesAsColumnsWithColourFogAndWave) {
    Ref<ColorEffect> effect(new ColorEffect("paint"));
    effect->SetColor({0.25f, 0.5f, 0.75f, 1});
    effect->fogDensity = 0.02f;
    effect->fogExponent = 1.5f;
    effect->waveAmplitude = 0.3f;
    effect->waveSpeed = 2.0f;
    Ref<Triangles> node = Triangle("node", effect.Get());
    node->SetLocalTransform(MakeTransform({2, 2, 2}, {}, {1, 2, 3}));
    node->UpdateSubtree(0.0, true);
    node->Render(*renderer);
    ASSERT_NE(renderer->GetVertexShader(), nullptr);
    EXPECT_STREQ(renderer->GetVertexShader()->GetSource(), kColorVertexText);
    EXPECT_STREQ(renderer->GetPixelShader()->GetSource(), kColorPixelText);
    // World × view × projection: the camera at the origin looks along +z;
    // column 0 of the product is (2 x, 0, 0, x translation).
    const Matrix4& projection = camera->GetProjection();
    EXPECT_TRUE(VertexRegister(0, {2 * projection.m[0][0], 0, 0, 1 * projection.m[0][0]}));
    EXPECT_TRUE(VertexRegister(3, {0, 0, 2, 3 + projection.m[3][3]}));
    EXPECT_TRUE(VertexRegister(6, {0, 0, 2, 3}));  // view-space depth: 2 z + 3
    EXPECT_TRUE(VertexRegister(8, {0.25f, 0.5f, 0.75f, 1}));
    EXPECT_TRUE(VertexRegister(9, {0.02f, 1.5f, 0.3f, 2.0f}));

    // The wave variant sways with the time the effect has seen.
    effect->SetWave(true);
    node->UpdateSubtree(0.5, true);
    node->Render(*renderer);
    EXPECT_STREQ(renderer->GetVertexShader()->GetSource(), kColorWaveVertexText);
    EXPECT_TRUE(VertexRegister(10, {0.3f, 2.0f, 0.5f, 0}));
}

TEST_F(BuiltInEffects, LitShadersGetTheLightInTheNodesOwnSpacePerShaderModel) {
    Ref<Light> sun(new Light(Light::kWorldDirectional, "sun"));
    sun->ambient = {0.1f, 0.1f, 0.1f, 1};
    sun->diffuse = {0.9f, 0.8f, 0.7f, 1};
    Ref<Light> lamp(new Light(Light::kPoint, "lamp"));
    lamp->diffuse = {0, 1, 0, 1};
    lamp->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {0, 10, 5}));
    lamp->UpdateSubtree(0.0, true);
    for (int32_t level : {kShaderModel1, kShaderModel2}) {
        SCOPED_TRACE(level);
        SetLevels(level, level);
        Ref<Texture1DL1PLEffect> effect(new Texture1DL1PLEffect("lit"));
        effect->SetDirectionalLight(sun.Get());
        effect->SetPointLight(lamp.Get());
        effect->diffuse = {1, 1, 1, 0.5f};
        Ref<Triangles> node = Triangle("node", effect.Get());
        node->GenerateNormals();
        // Turned half a turn about y and moved: in its own space the sun,
        // which shines along world +z, lies along +z again.
        node->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 1, 0, 0}, {0, 0, 5}));
        node->UpdateSubtree(0.0, true);
        node->Render(*renderer);
        ASSERT_EQ(renderer->CallsStartingWith("DrawCurrent").size(), 1u);
        if (level == kShaderModel1) {
            EXPECT_STREQ(renderer->GetVertexShader()->GetSource(), kTwoLightVertexText11);
            EXPECT_STREQ(renderer->GetPixelShader()->GetSource(), kLitPixelText11);
            EXPECT_TRUE(VertexRegister(9, {1, 1, 1, 0.5f}));
            EXPECT_TRUE(VertexRegister(10, {0.1f, 0.1f, 0.1f, 1}));
            EXPECT_TRUE(VertexRegister(11, {0.9f, 0.8f, 0.7f, 1}));
            EXPECT_TRUE(VertexRegister(12, {0, 0, 1}));
            EXPECT_TRUE(VertexRegister(13, {0, 1, 0, 1}));
            EXPECT_TRUE(VertexRegister(14, {0, 10, 0}));
        } else {
            EXPECT_STREQ(renderer->GetVertexShader()->GetSource(), kTwoLightVertexText20);
            EXPECT_STREQ(renderer->GetPixelShader()->GetSource(), kTwoLightPixelText20);
            EXPECT_TRUE(VertexRegister(8, {0, 0, 5}));  // the camera, 5 in front of the node's own +z
            EXPECT_TRUE(PixelRegister(1, {1, 1, 1, 0.5f}));
            EXPECT_TRUE(PixelRegister(3, {0.9f, 0.8f, 0.7f, 1}));
            EXPECT_TRUE(PixelRegister(4, {0, 0, 1}));
            EXPECT_TRUE(PixelRegister(6, {0, 10, 0}));
        }
        renderer->calls.clear();
    }
    // Without its lights a lit effect lights nothing (black, not a crash).
    Ref<Texture1DLEffect> dark(new Texture1DLEffect("dark"));
    Ref<Triangles> node = Triangle("dark", dark.Get());
    node->GenerateNormals();
    node->Render(*renderer);
    EXPECT_TRUE(PixelRegister(2, {0, 0, 0, 0}));
    EXPECT_TRUE(PixelRegister(3, {0, 0, 0, 0}));
}

TEST_F(BuiltInEffects, SkinnedMeshesDrawTheirBindPoseThroughTheBonePalette) {
    SetLevels(kShaderModel2, kShaderModel2);
    Ref<TextureEffect> effect(new TextureEffect("skinned"));
    effect->SetColor({1, 0, 0, 1});
    Ref<Triangles> node = Triangle("mesh", effect.Get());
    Ref<SkinController> skin(new SkinController("skin"));
    Ref<Node> bone(new Light(Light::kPoint, "bone"));
    bone->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {4, 5, 6}));
    bone->UpdateSubtree(0.0, true);
    skin->AddBone(bone.Get(), Transform());
    skin->SetSourceVertices(new Vector3Buffer(3));
    skin->SetWeights(new Vector4Buffer(3));
    skin->SetBoneIndices(new Vector4Buffer(3));
    node->AddController(skin.Get());
    effect->SetSkin(skin.Get());
    node->UpdateSubtree(0.0, true);  // the effect moves the skinning to the shader
    EXPECT_FALSE(skin->IsActive());
    node->Render(*renderer);
    EXPECT_STREQ(renderer->GetVertexShader()->GetSource(), kTextureSkinVertexText);
    // The bind pose is what is drawn; the palette holds bone 0 from c8.
    EXPECT_NE(skin->GetSourceVertices()->GetHandle(), nullptr);
    EXPECT_NE(skin->GetWeights()->GetHandle(), nullptr);
    EXPECT_TRUE(VertexRegister(8, {1, 0, 0, 4}));
    EXPECT_TRUE(VertexRegister(9, {0, 1, 0, 5}));
    EXPECT_TRUE(VertexRegister(208, {1, 0, 0, 1}));
    node->RemoveAllControllers();
}

TEST_F(BuiltInEffects, LightLinksAndSpriteRecordsRoundTripAndRefuseOtherClasses) {
    Ref<Light> sun(new Light(Light::kDirectional, "sun")), lamp(new Light(Light::kPoint, "lamp"));
    Ref<Texture1DL1PLEffect> effect(new Texture1DL1PLEffect("lit"));
    effect->SetDirectionalLight(sun.Get());
    effect->SetPointLight(lamp.Get());
    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(effect.Get()));
    auto* read = ObjectCast<Texture1DL1PLEffect>(loaded.Get());
    ASSERT_NE(read, nullptr);
    ASSERT_NE(read->GetPointLight(), nullptr);
    EXPECT_EQ(read->GetPointLight()->GetName(), String("lamp"));
    EXPECT_EQ(read->FindObject("sun"), read->GetDirectionalLight());

    // A camera where the light should be fails the record.
    Ref<Texture1DLEffect> one(new Texture1DLEffect("one"));
    std::string bytes = test::SaveToBytes(one.Get());
    bytes.replace(bytes.size() - 4, 4, test::Int32Bytes(77) + test::SaveToBytes(camera.Get()).substr(4));
    test::LogCapture log;
    EXPECT_EQ(test::LoadFromBytes(bytes).Get(), nullptr);
    EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно загрузить источник света. "));

    Ref<SpriteEffect> sprite(new SpriteEffect("glow"));
    EXPECT_EQ(sprite->srcBlend, 4);
    EXPECT_EQ(sprite->dstBlend, 1);
    sprite->SetTexture(new Texture("flare"));
    Ref<Object> glow = test::LoadFromBytes(test::SaveToBytes(sprite.Get()));
    ASSERT_NE(ObjectCast<SpriteEffect>(glow.Get()), nullptr);
    EXPECT_EQ(ObjectCast<SpriteEffect>(glow.Get())->GetTexture()->GetName(), String("flare"));

    // A flare glows through a sprite effect of its own.
    Ref<Flare> flare(new Flare("flare"));
    EXPECT_NE(ObjectCast<SpriteEffect>(flare->GetEffect()), nullptr);
}

TEST_F(BuiltInEffects, SpritesBlendWithoutWritingDepthAndDrawAtWorldPositions) {
    Ref<SpriteEffect> effect(new SpriteEffect("glow"));
    effect->SetBlending(true);
    Ref<Triangles> node = Triangle("glow", effect.Get());
    node->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {7, 0, 0}));
    node->UpdateSubtree(0.0, true);
    node->Render(*renderer);
    renderer->FlushDeferred();
    const RenderStateBlock& state = *effect->GetCurrentTechnique()->GetPass(0)->GetRenderState();
    EXPECT_TRUE(state.pointSprites);
    EXPECT_FALSE(state.depthWrite);
    EXPECT_EQ(renderer->GetWorldMatrix(), Matrix4::Identity());
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent").size(), 1u);
}

TEST_F(BuiltInEffects, AShaderTextThatDoesNotAssembleIsReportedOnceAndDrawsWithoutIt) {
    Ref<VertexShader> broken(new VertexShader("broken"));
    static const char kBroken[] = "vs_1_1\nmox oPos, v0\n";
    broken->SetSource(kBroken);
    test::LogCapture log;
    for (int i = 0; i < 3; ++i) renderer->SetVertexShader(broken.Get());
    EXPECT_EQ(renderer->GetVertexShader(), nullptr);
    int errors = 0;
    for (const auto& line : log.Lines()) errors += line.level == kLogError;
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно собрать шейдер [broken]: Строка 2"));
    // A new text is assembled again.
    broken->SetSource(kColorVertexText);
    renderer->SetVertexShader(broken.Get());
    EXPECT_EQ(renderer->GetVertexShader(), broken.Get());
    // Every text the effects use assembles.
    int count = 0;
    const NamedShaderText* texts = ShaderTextList(&count);
    for (int i = 0; i < count; ++i) {
        Ref<VertexShader> shader(new VertexShader(texts[i].name));
        shader->SetSource(texts[i].text);
        renderer->SetVertexShader(shader.Get());
        EXPECT_NE(renderer->GetVertexShader(), nullptr) << texts[i].name;
    }
}

}  // namespace
}  // namespace zav
