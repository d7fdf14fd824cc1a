// Effects and their techniques, passes and render state blocks, drawn
// through the recording renderer.
#include <gtest/gtest.h>

#include <string>

#include "engine/animation/SkinController.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/GeometryNodeEffect.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/render/RenderStateBlock.h"
#include "engine/render/Technique.h"
#include "engine/scene/BoundingVolume.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StreamBytes.h"

namespace zav {
namespace {

using test::FixedFunctionTestEffect;
using test::LogCapture;

class EffectTest : public test::RenderFixture {};

Pass* OnlyPass(Effect& effect) { return effect.GetCurrentTechnique()->GetPass(0); }

TEST_F(EffectTest, TheTechniqueAddedLastIsTriedFirstAndTheChoiceIsKept) {
    Ref<FixedFunctionTestEffect> shaded(new FixedFunctionTestEffect("shaded"));
    shaded->AddShaderTechnique();
    ASSERT_EQ(shaded->GetTechniqueCount(), 2);
    EXPECT_EQ(shaded->ChosenTechnique(), "");
    EXPECT_EQ(shaded->GetPassCount(*renderer), 1);
    EXPECT_EQ(shaded->ChosenTechnique(), "shader");
    // A renderer without shaders later does not change a choice once made.
    SetShaders(false);
    EXPECT_EQ(shaded->GetPassCount(*renderer), 1);
    EXPECT_EQ(shaded->ChosenTechnique(), "shader");

    Ref<FixedFunctionTestEffect> plain(new FixedFunctionTestEffect("plain"));
    plain->AddShaderTechnique();
    EXPECT_EQ(plain->GetPassCount(*renderer), 1);
    EXPECT_EQ(plain->ChosenTechnique(), "fixed function");
}

TEST_F(EffectTest, PassesAreRecordedOnceAndAgainAfterTheirEffectChanges) {
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("effect"));
    Ref<Triangles> node = Triangle("node", effect.Get());
    node->Render(*renderer);
    node->Render(*renderer);
    const std::string id = std::to_string(OnlyPass(*effect)->GetId());
    EXPECT_EQ(renderer->CallsStartingWith("RecordPass"), std::vector<std::string>{"RecordPass " + id});
    EXPECT_EQ(renderer->CallsStartingWith("BeginPass"), std::vector<std::string>{"BeginPass " + id});
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent").size(), 2u);

    // Fog, wave, blending and a new vertex layout each record the pass again.
    auto recordsAgain = [&](const char* what, auto change) {
        SCOPED_TRACE(what);
        renderer->calls.clear();
        change();
        node->Render(*renderer);
        renderer->FlushDeferred();
        EXPECT_EQ(renderer->CallsStartingWith("RecordPass"), std::vector<std::string>{"RecordPass " + id});
    };
    recordsAgain("fog", [&] { effect->SetFog(true); });
    recordsAgain("wave", [&] { effect->SetWave(true); });
    recordsAgain("blending", [&] { effect->SetBlending(true); });
    recordsAgain("normals", [&] { node->GenerateNormals(); });
}

TEST_F(EffectTest, AFailedPassIsSkippedAndNoTechniqueMeansNoPasses) {
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("effect"));
    Ref<Triangles> node = Triangle("node", effect.Get());
    Ref<Camera> keep(camera);
    renderer->SetCamera(nullptr);  // the pass needs a camera for its matrices
    camera = nullptr;
    node->Render(*renderer);
    EXPECT_EQ(effect->applies, 1);
    EXPECT_TRUE(renderer->CallsStartingWith("DrawCurrent").empty());

    // An effect whose only technique cannot build has no passes.
    class NeverBuilds : public Technique {
    public:
        using Technique::Technique;
        bool Build(Renderer&) override { return false; }
    };
    Ref<FixedFunctionTestEffect> behind(new FixedFunctionTestEffect("behind"));
    behind->AddTechnique(new NeverBuilds(behind.Get()));
    EXPECT_EQ(behind->GetPassCount(*renderer), 1);  // the fixed-function one builds behind it
    EXPECT_EQ(behind->ChosenTechnique(), "fixed function");
    class Empty : public GeometryNodeEffect {};
    Empty empty;
    EXPECT_EQ(empty.GetPassCount(*renderer), 0);
    EXPECT_EQ(empty.ApplyPass(*renderer, 0), kFailed);
    empty.AddTechnique(new NeverBuilds(&empty));
    EXPECT_EQ(empty.GetPassCount(*renderer), 0);
    EXPECT_EQ(empty.GetCurrentTechnique(), nullptr);
    renderer->SetCamera(keep.Get());
}

TEST_F(EffectTest, PassesCopyTheEffectsMaterialAndChooseTheFogMode) {
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("effect"));
    effect->diffuse = {0.1f, 0.2f, 0.3f, 0.4f};
    effect->power = 7.0f;
    effect->alphaTest = true;
    effect->alphaRef = 99;
    effect->srcBlend = 2;
    effect->dstBlend = 3;
    effect->fogColor = {1, 0, 0, 1};
    effect->fogDensity = 0.25f;
    effect->culling = false;
    effect->stageWrap[3] = 0;
    effect->SetBlending(true);
    effect->SetFog(true);
    ASSERT_EQ(effect->GetPassCount(*renderer), 1);
    const RenderStateBlock& state = *OnlyPass(*effect)->GetRenderState();
    EXPECT_EQ(state.diffuse, (Color{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(state.power, 7.0f);
    EXPECT_TRUE(state.alphaTest);
    EXPECT_EQ(state.alphaRef, 99);
    EXPECT_EQ(state.alphaFunc, 6);
    EXPECT_TRUE(state.blending);
    EXPECT_EQ(state.srcBlend, 2);
    EXPECT_EQ(state.dstBlend, 3);
    EXPECT_TRUE(state.fog);
    EXPECT_EQ(state.fogColor, (Color{1, 0, 0, 1}));
    EXPECT_EQ(state.fogDensity, 0.25f);
    EXPECT_FALSE(state.culling);
    EXPECT_EQ(state.stages[3].wrapU, 0);
    EXPECT_EQ(state.stages[3].wrapW, 0);
    EXPECT_EQ(state.stages[2].wrapV, 1);
    // An exponent of 2 is exponential fog without shaders, anything above
    // it exponential squared.
    EXPECT_EQ(state.fogMode, 1);
    effect->fogExponent = 2.5f;
    effect->InvalidatePasses();
    EXPECT_EQ(state.fogMode, 2);
    EXPECT_TRUE(OnlyPass(*effect)->IsDirty());
}

TEST_F(EffectTest, RenderStateBlocksStoreOnlyTheirObjectRecord) {
    Ref<RenderStateBlock> block(new RenderStateBlock("state"));
    block->blending = true;
    block->fogEnd = 3.0f;
    block->stages[5].combineMode = TextureStageState::kAdd;
    block->pointSprites = true;
    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(block.Get()));
    auto* read = ObjectCast<RenderStateBlock>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetName(), String("state"));
    const RenderStateBlock defaults;
    EXPECT_FALSE(read->blending);
    EXPECT_EQ(read->fogEnd, 1000.0f);
    EXPECT_EQ(read->stages[5].combineMode, TextureStageState::kModulate);
    EXPECT_FALSE(read->pointSprites);
    EXPECT_EQ(read->depthFunc, defaults.depthFunc);
    EXPECT_EQ(read->stages[0].borderColor, (Color{0, 1, 0, 1}));
}

class GeometryEffectRecord : public EffectTest {
protected:
    Ref<FixedFunctionTestEffect> Sample() {
        Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("stone"));
        effect->diffuse = {0.5f, 0.25f, 0.125f, 1};
        effect->emissive = {0, 0, 1, 1};
        effect->power = 3.5f;
        effect->alphaTest = true;
        effect->alphaRef = 200;
        effect->srcBlend = 1;
        effect->dstBlend = 9;
        effect->fogColor = {0.1f, 0.2f, 0.3f, 1};
        effect->fogDensity = 0.02f;
        effect->fogExponent = 1.5f;
        effect->waveAmplitude = 0.5f;
        effect->waveSpeed = 4.0f;
        effect->culling = false;
        effect->stageWrap[0] = 0;
        effect->stageWrap[7] = 0;
        effect->SetBlending(true);
        effect->SetFog(true);
        effect->SetWave(true);
        return effect;
    }
    // Offset of a field from the end of the sample's record (which ends with
    // the null skin reference).
    static constexpr size_t kSkinFromEnd = 4, kSpeedFromEnd = 8;
    // dstBlend, fog, fogColor, fogDensity, fogExponent, wave, waveAmplitude,
    // waveSpeed and the skin reference.
    static constexpr size_t kDstBlendFromEnd = 4 + 1 + 16 + 4 + 4 + 1 + 4 + 4 + 4;
};

TEST_F(GeometryEffectRecord, EveryFieldRoundTripsAndTheWaveTimeIsNotStored) {
    Ref<FixedFunctionTestEffect> effect = Sample();
    effect->waveTime = 12.0f;
    Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(effect.Get()));
    auto* read = ObjectCast<FixedFunctionTestEffect>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->diffuse, effect->diffuse);
    EXPECT_EQ(read->emissive, effect->emissive);
    EXPECT_EQ(read->power, 3.5f);
    EXPECT_TRUE(read->alphaTest);
    EXPECT_EQ(read->alphaRef, 200);
    EXPECT_EQ(read->srcBlend, 1);
    EXPECT_EQ(read->dstBlend, 9);
    EXPECT_EQ(read->fogColor, effect->fogColor);
    EXPECT_EQ(read->fogDensity, 0.02f);
    EXPECT_EQ(read->fogExponent, 1.5f);
    EXPECT_EQ(read->waveAmplitude, 0.5f);
    EXPECT_EQ(read->waveSpeed, 4.0f);
    EXPECT_EQ(read->waveTime, 0.0f);
    EXPECT_FALSE(read->culling);
    EXPECT_TRUE(read->IsBlending());
    EXPECT_TRUE(read->HasFog());
    EXPECT_TRUE(read->HasWave());
    for (int i = 0; i < GeometryNodeEffect::kStages; ++i) EXPECT_EQ(read->stageWrap[i], i == 0 || i == 7 ? 0 : 1);
}

TEST_F(GeometryEffectRecord, ATruncatedRecordFailsInsteadOfLoadingGarbage) {
    const std::string bytes = test::SaveToBytes(Sample().Get());
    for (size_t cut : {kSkinFromEnd + 2, kSpeedFromEnd + 1, size_t{60}}) {
        SCOPED_TRACE(cut);
        LogCapture log;
        int state = kOk;
        EXPECT_EQ(test::LoadFromBytes(bytes.substr(0, bytes.size() - cut), &state).Get(), nullptr);
        EXPECT_NE(state, kOk);
        EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно загрузить данные эффекта. ") ||
                    log.HasPrefix(kLogError, "Невозможно загрузить контроллер скининга. "));
    }
}

TEST_F(GeometryEffectRecord, ValuesNoTableKnowsTakeTheirDefaultsWithAWarning) {
    std::string bytes = test::SaveToBytes(Sample().Get());
    auto put = [&bytes](size_t fromEnd, int32_t value) {
        const std::string encoded = test::Int32Bytes(value);
        bytes.replace(bytes.size() - fromEnd, 4, encoded);
    };
    put(kDstBlendFromEnd, 10);
    put(kDstBlendFromEnd + 4, -1);
    put(kDstBlendFromEnd + 4 + 4 + 1, 256);  // alphaRef, before the state byte
    LogCapture log;
    Ref<Object> loaded = test::LoadFromBytes(bytes);
    auto* read = ObjectCast<FixedFunctionTestEffect>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->srcBlend, 4);
    EXPECT_EQ(read->dstBlend, 5);
    EXPECT_EQ(read->alphaRef, 1);
    EXPECT_TRUE(log.HasPrefix(kLogWarning, "Недопустимое значение srcBlend [-1] заменено на [4]."));
    EXPECT_TRUE(log.HasPrefix(kLogWarning, "Недопустимое значение dstBlend [10] заменено на [5]."));
    EXPECT_TRUE(log.HasPrefix(kLogWarning, "Недопустимое значение alphaRef [256] заменено на [1]."));
}

TEST_F(GeometryEffectRecord, TheSkinMustBeASkinController) {
    std::string bytes = test::SaveToBytes(Sample().Get());
    // The null skin reference becomes a new render state block.
    bytes.replace(bytes.size() - kSkinFromEnd, 4,
                  test::RecordHeader(90, "ZAV.RenderStateBlock") + test::EmptyObjectRecord());
    LogCapture log;
    EXPECT_EQ(test::LoadFromBytes(bytes).Get(), nullptr);
    EXPECT_TRUE(log.HasPrefix(kLogError, "Невозможно загрузить контроллер скининга. "));
}

TEST_F(EffectTest, SkinsMoveToTheVertexShaderOnlyOnShaderModelsTwoAndThree) {
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("skinned"));
    Ref<Triangles> node = Triangle("mesh", effect.Get());
    Ref<SkinController> first(new SkinController("first")), second(new SkinController("second"));
    // What the skinning shaders read: a bind pose, weights and bone indices.
    for (SkinController* skin : {first.Get(), second.Get()}) {
        skin->SetSourceVertices(new Vector3Buffer(3));
        skin->SetWeights(new Vector4Buffer(3));
        skin->SetBoneIndices(new Vector4Buffer(3));
    }
    node->AddController(first.Get());
    first->SetActive(false);
    effect->SetSkin(first.Get());
    EXPECT_TRUE(first->IsActive());  // the processor skins until the renderer says otherwise
    EXPECT_FALSE(node->GetUpdateWorldVolume());
    auto* sphere = ObjectCast<SphereBoundingVolume>(node->GetWorldVolume());
    ASSERT_NE(sphere, nullptr);
    EXPECT_GT(sphere->GetRadius(), 1e38f);

    effect->Animate(0.5);
    EXPECT_FALSE(first->IsActive());
    EXPECT_EQ(effect->waveTime, 0.5f);
    second->SetActive(false);
    effect->SetSkin(second.Get());
    EXPECT_TRUE(first->IsActive());
    EXPECT_TRUE(second->IsActive());

    // More bones than the shaders hold, or no weights: the processor skins.
    for (int bone = 0; bone <= GeometryNodeEffect::kMaxShaderBones; ++bone) second->AddBone(nullptr, Transform());
    effect->Animate(0.25);
    EXPECT_EQ(effect->GetSkin(), nullptr);
    EXPECT_TRUE(second->IsActive());
    second->ClearBones();
    second->SetWeights(nullptr);
    effect->SetSkin(second.Get());
    effect->Animate(0.25);
    EXPECT_EQ(effect->GetSkin(), nullptr);
    second->SetWeights(new Vector4Buffer(3));

    // Shader model 1 and no shaders skin on the processor: the skin goes.
    for (int32_t level : {kShaderModel1, kNoShaders}) {
        RendererCaps caps = renderer->GetCaps();
        caps.vertexShaderLevel = level;
        renderer->SetCaps(caps);
        effect->SetSkin(second.Get());
        second->SetActive(false);
        effect->Animate(0.25);
        EXPECT_EQ(effect->GetSkin(), nullptr);
        EXPECT_TRUE(second->IsActive());
    }
}

TEST_F(EffectTest, EffectsWithoutSkinningTextsSkinOnTheProcessorOnEveryShaderModel) {
    RendererCaps caps = renderer->GetCaps();
    caps.vertexShaderLevel = caps.pixelShaderLevel = kShaderModel2;
    renderer->SetCaps(caps);
    Ref<ColorEffect> colour(new ColorEffect("colour"));
    Ref<TextureEffect> texture(new TextureEffect("texture"));
    for (GeometryNodeEffect* effect : {static_cast<GeometryNodeEffect*>(colour.Get()),
                                       static_cast<GeometryNodeEffect*>(texture.Get())}) {
        Ref<Triangles> node = Triangle("mesh", effect);
        Ref<SkinController> skin(new SkinController("skin"));
        skin->SetSourceVertices(new Vector3Buffer(3));
        skin->SetWeights(new Vector4Buffer(3));
        skin->SetBoneIndices(new Vector4Buffer(3));
        node->AddController(skin.Get());
        effect->SetSkin(skin.Get());
        effect->Animate(0.1);
        const bool textureSkins = effect == texture.Get();
        EXPECT_EQ(effect->GetSkin() != nullptr, textureSkins) << effect->GetName().CStr();
        EXPECT_EQ(skin->IsActive(), !textureSkins) << effect->GetName().CStr();
        node->RemoveAllControllers();
    }
}

}  // namespace
}  // namespace zav
