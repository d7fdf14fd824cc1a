// The post-render effects: their records, the technique each renderer
// gets, the film band around the children, and the glow technique's
// targets, textures, draws and constants, with hostile values and glow
// lists from files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/render/Shader.h"
#include "engine/render/Technique.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/render/effects/CustomGlowPostRenderEffect.h"
#include "engine/render/shader/ShaderTexts.h"
#include "engine/scene/SceneNode.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/StreamBytes.h"

namespace zav {
namespace {

// Also notes, at every indexed draw, the viewport and the aspect the
// current camera's projection was made for.
class ViewRecorder : public test::RecordingRenderer {
public:
    std::vector<std::string> views;

    void DrawCurrent() override {
        RecordingRenderer::DrawCurrent();
        const Matrix4& projection = GetCamera()->GetProjection();
        char view[64];
        std::snprintf(view, sizeof view, "%dx%d aspect %.3f", GetViewportWidth(), GetViewportHeight(),
                      projection.m[1][1] / projection.m[0][0]);
        views.push_back(view);
    }
};

std::string FloatBytes(float value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

class PostRenderEffects : public test::RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        recorder = new ViewRecorder();
        renderer->SetCamera(nullptr);
        renderer = recorder;
        MakeRendererCurrent(renderer.Get());
        renderer->SetCamera(camera.Get());
        renderer->SetViewportSize(1024, 768);
    }
    void TearDown() override {
        for (const Ref<Object>& object : dropped) object->DropReferences();
        dropped.clear();
        RenderFixture::TearDown();
    }

    // A scene node holding `effect` and `children`.
    Ref<SceneNode> Holder(const char* name, SceneNodeEffect* effect, std::initializer_list<Node*> children) {
        Ref<SceneNode> node(new SceneNode(name));
        if (effect) node->AddEffect(effect);
        for (Node* child : children) node->AddChild(child);
        node->UpdateSubtree(0.0, true);
        return node;
    }
    // A triangle in front of the camera, with the bounds culling tests.
    Ref<Triangles> Lit(const char* name) {
        Ref<Triangles> node = Triangle(name, new ColorEffect());
        node->Rebuild(false, false);
        node->UpdateSubtree(0.0, true);
        return node;
    }

    void DrawFrame(Node& root) {
        recorder->calls.clear();
        recorder->views.clear();
        ASSERT_EQ(renderer->BeginRender(), kOk);
        root.Render(*renderer);
        renderer->EndRender();
    }
    // The calls that change targets, clear or draw, in order.
    std::vector<std::string> TargetsAndDraws() const {
        std::vector<std::string> kept;
        for (const std::string& call : recorder->calls)
            for (const char* prefix : {"PushTextureTarget", "PopTarget", "Clear", "DrawCurrent", "DrawPrimitives"})
                if (call.compare(0, std::strlen(prefix), prefix) == 0) kept.push_back(call);
        return kept;
    }
    static std::string Size(const Texture* texture) {
        const Image* image = texture ? texture->GetImage() : nullptr;
        return image ? std::to_string(image->GetWidth()) + "x" + std::to_string(image->GetHeight()) : "none";
    }
    void SetLevels(int32_t vertex, int32_t pixel) {
        RendererCaps caps = renderer->GetCaps();
        caps.vertexShaderLevel = vertex;
        caps.pixelShaderLevel = pixel;
        renderer->SetCaps(caps);
    }

    ViewRecorder* recorder = nullptr;
    // Objects whose references close cycles, let go at the end.
    std::vector<Ref<Object>> dropped;
};

TEST_F(PostRenderEffects, RecordsKeepTheFilmFlagTheGlowValuesInOrderAndTheGlowNodes) {
    Ref<Triangles> lamp = Lit("lamp");
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    glow->SetFilm(true);
    glow->blurSpread = 2.0f;
    glow->glowIntensity = 0.75f;
    glow->downsampleScale = 0.5f;
    glow->AddGlowNode(lamp.Get());
    glow->AddGlowNode(lamp.Get());
    glow->AddGlowNode(nullptr);
    const std::string bytes = test::SaveToBytes(glow.Get());
    // Spread, intensity, scale, then the node list's count.
    const std::string values = FloatBytes(2.0f) + FloatBytes(0.75f) + FloatBytes(0.5f) + test::Int32Bytes(1);
    const size_t at = bytes.find(values);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(bytes[at - 1], '\x01');  // the film flag before them

    Ref<Object> loaded = test::LoadFromBytes(bytes);
    auto* read = ObjectCast<CustomGlowPostRenderEffect>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->IsFilm());
    EXPECT_EQ(read->blurSpread, 2.0f);
    EXPECT_EQ(read->glowIntensity, 0.75f);
    EXPECT_EQ(read->downsampleScale, 0.5f);
    ASSERT_EQ(read->GetGlowNodeCount(), 1);
    EXPECT_EQ(read->GetGlowNode(0)->GetName(), String("lamp"));

    Ref<PostRenderEffect> film(new PostRenderEffect("film"));
    EXPECT_FALSE(film->IsFilm());
    film->SetFilm(true);
    Ref<Object> filmRead = test::LoadFromBytes(test::SaveToBytes(film.Get()));
    ASSERT_NE(ObjectCast<PostRenderEffect>(filmRead.Get()), nullptr);
    EXPECT_TRUE(ObjectCast<PostRenderEffect>(filmRead.Get())->IsFilm());

    // A record that ends early names the field it ends in.
    const struct {
        size_t length;
        const char* message;
    } cuts[] = {
        {at - 1, "Невозможно загрузить флаг фильма. ID["},
        {at + 4, "Невозможно загрузить данные свечения. ID["},
        {at + 14, "Невозможно загрузить узлы свечения. Имя[glow] ID["},
    };
    for (const auto& cut : cuts) {
        test::LogCapture log;
        EXPECT_EQ(test::LoadFromBytes(bytes.substr(0, cut.length)).Get(), nullptr);
        EXPECT_TRUE(log.HasPrefix(kLogError, cut.message)) << cut.message;
    }
}

TEST_F(PostRenderEffects, TheGlowNeedsShaderModel2OrAboveOnBothSidesElseItIsTheFilmEffect) {
    const struct {
        int32_t vertex, pixel;
        const char* technique;
        int passes;
    } cases[] = {
        {kShaderModel2, kShaderModel2, "glow", 3},   {kShaderModel3, kShaderModel2, "glow", 3},
        {kShaderModel2, kShaderModel1, "film band", 2}, {kShaderModel1, kShaderModel1, "film band", 2},
        {kNoShaders, kShaderModel2, "film band", 2}, {kNoShaders, kNoShaders, "film band", 2},
    };
    for (const auto& c : cases) {
        SetLevels(c.vertex, c.pixel);
        Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect());
        EXPECT_EQ(glow->GetPassCount(*renderer), c.passes);
        EXPECT_STREQ(glow->GetCurrentTechnique()->GetName(), c.technique);
        Ref<PostRenderEffect> film(new PostRenderEffect());
        EXPECT_EQ(film->GetPassCount(*renderer), 2);
    }
}

TEST_F(PostRenderEffects, WithFilmTheChildrenAreDrawnInTheMiddleBandAndTheWholeViewportComesBack) {
    renderer->SetViewportSize(800, 600);
    Ref<PostRenderEffect> film(new PostRenderEffect("film"));
    film->SetFilm(true);
    Ref<SceneNode> root = Holder("root", film.Get(), {Lit("ship").Get()});
    for (int frame = 0; frame < 2; ++frame) {
        DrawFrame(*root);
        EXPECT_EQ(recorder->CallsStartingWith("SetViewport"),
                  (std::vector<std::string>{"SetViewport 0,75 800x450", "SetViewport 0,0 800x600"}));
        EXPECT_EQ(recorder->views, std::vector<std::string>{"800x450 aspect 1.778"});
        EXPECT_FALSE(renderer->IsFilm());
        const Matrix4& projection = camera->GetProjection();
        EXPECT_NEAR(projection.m[1][1] / projection.m[0][0], 800.0f / 600.0f, 1e-4f);
    }
    // Without the flag the children have the whole viewport.
    film->SetFilm(false);
    DrawFrame(*root);
    EXPECT_TRUE(recorder->CallsStartingWith("SetViewport").empty());
    EXPECT_EQ(recorder->views, std::vector<std::string>{"800x600 aspect 1.333"});
}

TEST_F(PostRenderEffects, EffectsInsideABandKeepItAndTheGlowCapturesTheBand) {
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    Ref<Triangles> lamp = Lit("lamp");
    glow->AddGlowNode(lamp.Get());
    Ref<PostRenderEffect> plain(new PostRenderEffect("plain"));
    Ref<SceneNode> inner = Holder("inner", plain.Get(), {Lit("hull").Get()});
    Ref<SceneNode> glowing = Holder("glowing", glow.Get(), {lamp.Get(), inner.Get()});
    Ref<PostRenderEffect> film(new PostRenderEffect("film"));
    film->SetFilm(true);
    Ref<SceneNode> root = Holder("root", film.Get(), {glowing.Get()});
    DrawFrame(*root);
    // The band of 1024 x 768 is 1024 x 576, and everything inside it is
    // drawn for that aspect.
    EXPECT_EQ(Size(glow->GetScreenTexture()), "1024x576");
    EXPECT_EQ(Size(glow->GetDownsampleTexture()), "256x144");
    for (const std::string& view : recorder->views) EXPECT_NE(view.find("aspect 1.778"), std::string::npos) << view;
    EXPECT_EQ(recorder->CallsStartingWith("SetViewport"),
              (std::vector<std::string>{"SetViewport 0,96 1024x576", "SetViewport 0,0 1024x768"}));
    EXPECT_EQ(recorder->GetTargetDepth(), 0);
    EXPECT_EQ(recorder->GetViewportHeight(), 768);
}

TEST_F(PostRenderEffects, TheGlowCapturesDrawsItsNodesWithEqualDepthShrinksBlursAndAdds) {
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    Ref<Triangles> lamp = Lit("lamp");
    glow->AddGlowNode(lamp.Get());
    Ref<SceneNode> root = Holder("root", glow.Get(), {Lit("harbour").Get(), lamp.Get()});
    DrawFrame(*root);
    EXPECT_EQ(TargetsAndDraws(), (std::vector<std::string>{
                                     // the scene into the screen texture
                                     "DrawPrimitives  0", "PushTextureTarget Screen Texture", "Clear",
                                     "DrawCurrent harbour", "DrawCurrent lamp",
                                     // the lamp where its depth is the scene's
                                     "DrawPrimitives  0", "PushTextureTarget Screen Glow Texture", "Clear",
                                     "DrawCurrent lamp depth-equal", "PopTarget", "PopTarget",
                                     // shrink, blur across, blur down, add
                                     "DrawPrimitives  0", "PushTextureTarget Downsample Custom Glow Texture",
                                     "DrawPrimitives  2", "PopTarget", "PushTextureTarget Blur Custom Glow Texture",
                                     "DrawPrimitives  2", "PopTarget",
                                     "PushTextureTarget Downsample Custom Glow Texture", "DrawPrimitives  2",
                                     "PopTarget", "DrawPrimitives  2"}));
    EXPECT_EQ(Size(glow->GetScreenTexture()), "1024x768");
    EXPECT_EQ(Size(glow->GetGlowTexture()), "1024x768");
    EXPECT_EQ(Size(glow->GetDownsampleTexture()), "256x192");
    EXPECT_EQ(Size(glow->GetBlurTexture()), "256x192");
    EXPECT_TRUE(glow->GetScreenTexture()->ownDepthBuffer);
    EXPECT_FALSE(glow->GetGlowTexture()->ownDepthBuffer);
    EXPECT_FALSE(glow->GetDownsampleTexture()->ownDepthBuffer);
    EXPECT_FALSE(glow->GetBlurTexture()->ownDepthBuffer);
    // What the combine drew with: the last blur went down by 1.5 texels of
    // 192, and the glow is weighed by its intensity.
    EXPECT_STREQ(recorder->GetPixelShader()->GetSource(), kGlowCombinePixelText);
    EXPECT_FLOAT_EQ(recorder->GetVertexConstant(0)[0], 0.0f);
    EXPECT_FLOAT_EQ(recorder->GetVertexConstant(0)[1], 1.5f / 192.0f);
    EXPECT_FLOAT_EQ(recorder->GetPixelConstant(0)[0], 0.5f);
    // Each pixel of the screen reads its own texel of the screen texture.
    EXPECT_FLOAT_EQ(recorder->GetVertexConstant(1)[0], 0.5f / 1024.0f);
    EXPECT_FLOAT_EQ(recorder->GetVertexConstant(1)[1], 0.5f / 768.0f);
    EXPECT_FALSE(renderer->IsDepthEqual());

    // The next frame keeps the textures; a new viewport size makes them anew.
    Texture* screen = glow->GetScreenTexture();
    Texture* down = glow->GetDownsampleTexture();
    DrawFrame(*root);
    EXPECT_EQ(glow->GetScreenTexture(), screen);
    EXPECT_EQ(glow->GetDownsampleTexture(), down);
    renderer->SetViewportSize(800, 600);
    DrawFrame(*root);
    EXPECT_EQ(Size(glow->GetScreenTexture()), "800x600");
    EXPECT_EQ(Size(glow->GetDownsampleTexture()), "200x150");
    EXPECT_EQ(Size(glow->GetGlowTexture()), "800x600");
}

TEST_F(PostRenderEffects, HostileDownsampleScalesGiveAtLeastOneTexelAndAtMostTheScreen) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        float scale;
        const char* size;
    } cases[] = {{0.0f, "1x1"},   {-2.0f, "1x1"},      {1e-9f, "1x1"},      {nan, "256x192"},
                 {4.0f, "1024x768"}, {inf, "1024x768"}, {1.0f, "1024x768"}, {0.5f, "512x384"}};
    for (const auto& c : cases) {
        // As a file would give it.
        Ref<CustomGlowPostRenderEffect> made(new CustomGlowPostRenderEffect("glow"));
        made->downsampleScale = c.scale;
        Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(made.Get()));
        auto* glow = ObjectCast<CustomGlowPostRenderEffect>(loaded.Get());
        ASSERT_NE(glow, nullptr);
        Ref<SceneNode> root = Holder("root", glow, {Lit("harbour").Get()});
        DrawFrame(*root);
        EXPECT_EQ(Size(glow->GetDownsampleTexture()), c.size) << c.scale;
        EXPECT_EQ(Size(glow->GetBlurTexture()), c.size) << c.scale;
        const float scale = glow->GetUsableDownsampleScale();
        EXPECT_TRUE(scale >= 0.0f && scale <= 1.0f) << c.scale;
    }
}

TEST_F(PostRenderEffects, AGlowNodeHoldingTheEffectIsSkippedWithOneWarning) {
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    Ref<Triangles> lamp = Lit("lamp");
    Ref<SceneNode> holder = Holder("holder", glow.Get(), {lamp.Get()});
    Ref<SceneNode> root = Holder("root", nullptr, {holder.Get()});
    glow->AddGlowNode(holder.Get());
    glow->AddGlowNode(root.Get());
    glow->AddGlowNode(lamp.Get());
    dropped.push_back(glow);
    test::LogCapture log;
    int equalDraws = 0;
    for (int frame = 0; frame < 2; ++frame) {
        DrawFrame(*root);
        for (const std::string& call : recorder->calls) equalDraws += call.find("depth-equal") != std::string::npos;
    }
    EXPECT_EQ(equalDraws, 2);  // the lamp, once a frame
    int warnings = 0;
    for (const auto& line : log.Lines())
        warnings += line.level == kLogWarning &&
                    line.text.rfind("Узел свечения содержит сам эффект свечения и пропускается. Имя[holder]", 0) == 0;
    EXPECT_EQ(warnings, 1);
    int problems = 0;
    for (const auto& line : log.Lines()) problems += line.level != kLogInfo;
    EXPECT_EQ(problems, 1);
}

TEST_F(PostRenderEffects, TwoGlowEffectsThatListEachOthersNodesEndTheirDrawing) {
    Ref<CustomGlowPostRenderEffect> first(new CustomGlowPostRenderEffect("first"));
    Ref<CustomGlowPostRenderEffect> second(new CustomGlowPostRenderEffect("second"));
    Ref<SceneNode> a = Holder("a", first.Get(), {Lit("mast").Get()});
    Ref<SceneNode> b = Holder("b", second.Get(), {Lit("buoy").Get()});
    first->AddGlowNode(b.Get());
    second->AddGlowNode(a.Get());
    dropped.push_back(first);
    dropped.push_back(second);
    Ref<SceneNode> root = Holder("root", nullptr, {a.Get(), b.Get()});
    DrawFrame(*root);
    // Each effect draws the other's node once, whose glow finds its own
    // effect already at work and leaves its children out.
    EXPECT_EQ(recorder->CallsStartingWith("DrawCurrent buoy depth-equal").size(), 1u);
    EXPECT_EQ(recorder->CallsStartingWith("DrawCurrent mast depth-equal").size(), 1u);
    EXPECT_EQ(recorder->GetTargetDepth(), 0);
}

}  // namespace
}  // namespace zav
