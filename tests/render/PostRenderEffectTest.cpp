// The post-render effects: records, technique choice, the film band, and
// the glow technique's targets, texture sizes and constants, with hostile
// values and glow lists that lead back to the effect.
#include <gtest/gtest.h>

#include <cmath>
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

class PostRenderEffects : public test::RenderFixture {
protected:
    void SetUp() override {
        RenderFixture::SetUp();
        renderer->SetViewportSize(1024, 768);
    }
    void TearDown() override {
        for (const Ref<CustomGlowPostRenderEffect>& glow : cycles) glow->DropReferences();
        RenderFixture::TearDown();
    }
    Ref<SceneNode> Holder(const char* name, SceneNodeEffect* effect, std::initializer_list<Node*> children) {
        Ref<SceneNode> node(new SceneNode(name));
        if (effect) node->AddEffect(effect);
        for (Node* child : children) node->AddChild(child);
        return node;
    }
    // A triangle in front of the camera, with the bounds that culling tests.
    Ref<Triangles> Lit(const char* name) {
        Ref<Triangles> node = Triangle(name, new ColorEffect());
        node->Rebuild(false, false);
        return node;
    }
    void DrawFrame(Node& root) {
        root.UpdateSubtree(0.0, true);
        renderer->calls.clear();
        ASSERT_EQ(renderer->BeginRender(), kOk);
        root.Render(*renderer);
        renderer->EndRender();
    }
    static std::string Size(const Texture* texture) {
        const Image* image = texture ? texture->GetImage() : nullptr;
        return image ? std::to_string(image->GetWidth()) + "x" + std::to_string(image->GetHeight()) : "none";
    }
    float CameraAspect() const { return camera->GetProjection().m[1][1] / camera->GetProjection().m[0][0]; }

    std::vector<Ref<CustomGlowPostRenderEffect>> cycles;  // their glow lists lead back to them
};

TEST_F(PostRenderEffects, RecordsKeepTheFilmFlagThenTheGlowValuesInOrderThenTheNodes) {
    Ref<Triangles> lamp = Lit("lamp");
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    glow->SetFilm(true);
    glow->blurSpread = 2.0f;
    glow->glowIntensity = 0.75f;
    glow->downsampleScale = 0.5f;
    glow->AddGlowNode(lamp.Get());
    glow->AddGlowNode(lamp.Get());
    const std::string bytes = test::SaveToBytes(glow.Get());
    auto floats = [](std::initializer_list<float> values) {
        std::string text;
        for (float value : values) text.append(reinterpret_cast<const char*>(&value), 4);
        return text;
    };
    const size_t at = bytes.find("\x01" + floats({2.0f, 0.75f, 0.5f}) + test::Int32Bytes(1));
    ASSERT_NE(at, std::string::npos);
    Ref<Object> loaded = test::LoadFromBytes(bytes);
    auto* read = ObjectCast<CustomGlowPostRenderEffect>(loaded.Get());
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->IsFilm());
    EXPECT_EQ(read->glowIntensity, 0.75f);
    ASSERT_EQ(read->GetGlowNodeCount(), 1);
    EXPECT_EQ(read->GetGlowNode(0)->GetName(), String("lamp"));
    // A record that ends early names the field it ends in.
    const std::pair<size_t, const char*> cuts[] = {{at, "Невозможно загрузить флаг фильма. ID["},
                                                   {at + 5, "Невозможно загрузить данные свечения. ID["},
                                                   {at + 15, "Невозможно загрузить узлы свечения. Имя[glow] ID["}};
    for (const auto& cut : cuts) {
        test::LogCapture log;
        EXPECT_EQ(test::LoadFromBytes(bytes.substr(0, cut.first)).Get(), nullptr);
        EXPECT_TRUE(log.HasPrefix(kLogError, cut.second)) << cut.second;
    }
}

TEST_F(PostRenderEffects, TheGlowNeedsShaderModel2OnBothSidesElseItIsTheFilmEffect) {
    const struct {
        int32_t vertex, pixel;
        const char* technique;
    } cases[] = {{kShaderModel2, kShaderModel2, "glow"},      {kShaderModel3, kShaderModel2, "glow"},
                 {kShaderModel2, kShaderModel1, "film band"}, {kShaderModel1, kShaderModel1, "film band"},
                 {kNoShaders, kNoShaders, "film band"}};
    for (const auto& c : cases) {
        RendererCaps caps = renderer->GetCaps();
        caps.vertexShaderLevel = c.vertex;
        caps.pixelShaderLevel = c.pixel;
        renderer->SetCaps(caps);
        Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect());
        glow->GetPassCount(*renderer);
        EXPECT_STREQ(glow->GetCurrentTechnique()->GetName(), c.technique);
    }
}

TEST_F(PostRenderEffects, WithFilmTheChildrenGetTheMiddleBandAndEffectsInsideKeepIt) {
    Ref<PostRenderEffect> film(new PostRenderEffect("film"));
    film->SetFilm(true);
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    Ref<SceneNode> root = Holder("root", film.Get(), {Holder("inner", glow.Get(), {Lit("ship").Get()}).Get()});
    for (int frame = 0; frame < 2; ++frame) {
        DrawFrame(*root);
        EXPECT_EQ(renderer->CallsStartingWith("SetViewport"),
                  (std::vector<std::string>{"SetViewport 0,96 1024x576", "SetViewport 0,0 1024x768"}));
        // The glow inside captured the band, for the band's aspect.
        EXPECT_EQ(Size(glow->GetScreenTexture()), "1024x576");
        EXPECT_EQ(Size(glow->GetDownsampleTexture()), "256x144");
        EXPECT_FALSE(renderer->IsFilm());
        EXPECT_NEAR(CameraAspect(), 1024.0f / 768.0f, 1e-4f);
    }
    film->SetFilm(false);
    DrawFrame(*root);
    EXPECT_TRUE(renderer->CallsStartingWith("SetViewport").empty());
    EXPECT_EQ(Size(glow->GetScreenTexture()), "1024x768");
}

TEST_F(PostRenderEffects, TheGlowCapturesDrawsItsNodesWithEqualDepthThenShrinksBlursAndAdds) {
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    Ref<Triangles> lamp = Lit("lamp");
    glow->AddGlowNode(lamp.Get());
    Ref<SceneNode> root = Holder("root", glow.Get(), {Lit("harbour").Get(), lamp.Get()});
    DrawFrame(*root);
    std::vector<std::string> order;
    for (const std::string& call : renderer->calls)
        if (call.rfind("Push", 0) == 0 || call.rfind("Pop", 0) == 0 || call.rfind("DrawCurrent", 0) == 0)
            order.push_back(call);
    EXPECT_EQ(order, (std::vector<std::string>{
                         "PushTextureTarget Screen Texture", "DrawCurrent harbour", "DrawCurrent lamp",
                         "PushTextureTarget Screen Glow Texture", "DrawCurrent lamp depth-equal", "PopTarget",
                         "PopTarget", "PushTextureTarget Downsample Custom Glow Texture", "PopTarget",
                         "PushTextureTarget Blur Custom Glow Texture", "PopTarget",
                         "PushTextureTarget Downsample Custom Glow Texture", "PopTarget"}));
    EXPECT_EQ(renderer->CallsStartingWith("DrawPrimitives  2").size(), 4u);
    EXPECT_EQ(Size(glow->GetGlowTexture()), "1024x768");
    EXPECT_EQ(Size(glow->GetBlurTexture()), "256x192");
    EXPECT_TRUE(glow->GetScreenTexture()->ownDepthBuffer);
    EXPECT_FALSE(glow->GetGlowTexture()->ownDepthBuffer || glow->GetDownsampleTexture()->ownDepthBuffer ||
                 glow->GetBlurTexture()->ownDepthBuffer);
    // The combine: the last blur went down 1.5 texels of 192, each pixel
    // reads its own texel, and the glow is weighed by its intensity.
    EXPECT_STREQ(renderer->GetPixelShader()->GetSource(), kGlowCombinePixelText);
    EXPECT_FLOAT_EQ(renderer->GetVertexConstant(0)[1], 1.5f / 192.0f);
    EXPECT_FLOAT_EQ(renderer->GetVertexConstant(1)[0], 0.5f / 1024.0f);
    EXPECT_FLOAT_EQ(renderer->GetPixelConstant(0)[0], 0.5f);
    // A new viewport size makes the textures anew.
    renderer->SetViewportSize(800, 600);
    DrawFrame(*root);
    EXPECT_EQ(Size(glow->GetScreenTexture()), "800x600");
    EXPECT_EQ(Size(glow->GetDownsampleTexture()), "200x150");
}

TEST_F(PostRenderEffects, HostileDownsampleScalesGiveAtLeastOneTexelAndAtMostTheScreen) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const std::pair<float, const char*> cases[] = {{0.0f, "1x1"},       {-2.0f, "1x1"},      {1e-9f, "1x1"},
                                                   {nan, "256x192"},    {4.0f, "1024x768"}, {inf, "1024x768"},
                                                   {0.5f, "512x384"}};
    for (const auto& c : cases) {
        Ref<CustomGlowPostRenderEffect> made(new CustomGlowPostRenderEffect("glow"));
        made->downsampleScale = c.first;
        Ref<Object> loaded = test::LoadFromBytes(test::SaveToBytes(made.Get()));
        auto* glow = ObjectCast<CustomGlowPostRenderEffect>(loaded.Get());
        ASSERT_NE(glow, nullptr);
        DrawFrame(*Holder("root", glow, {Lit("harbour").Get()}));
        EXPECT_EQ(Size(glow->GetDownsampleTexture()), c.second) << c.first;
        EXPECT_EQ(Size(glow->GetBlurTexture()), c.second) << c.first;
    }
}

TEST_F(PostRenderEffects, GlowListsThatLeadBackToTheEffectEndTheirDrawing) {
    // A list with the effect's own node and its parent: both skipped, with
    // one warning over two frames.
    Ref<CustomGlowPostRenderEffect> glow(new CustomGlowPostRenderEffect("glow"));
    Ref<Triangles> lamp = Lit("lamp");
    Ref<SceneNode> holder = Holder("holder", glow.Get(), {lamp.Get()});
    Ref<SceneNode> root = Holder("root", nullptr, {holder.Get()});
    for (Node* node : {static_cast<Node*>(holder.Get()), static_cast<Node*>(root.Get()), static_cast<Node*>(lamp.Get())})
        glow->AddGlowNode(node);
    cycles = {glow};
    test::LogCapture log;
    for (int frame = 0; frame < 2; ++frame) {
        DrawFrame(*root);
        EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent lamp depth-equal").size(), 1u);
    }
    int problems = 0;
    for (const auto& line : log.Lines()) problems += line.level != kLogInfo;
    EXPECT_EQ(problems, 1);
    EXPECT_TRUE(log.HasPrefix(kLogWarning, "Узел свечения содержит сам эффект свечения и пропускается. Имя[holder]"));

    // Two effects whose lists name each other's nodes: each draws the
    // other's node once, whose effect finds itself at work and is left out.
    Ref<CustomGlowPostRenderEffect> first(new CustomGlowPostRenderEffect("first"));
    Ref<CustomGlowPostRenderEffect> second(new CustomGlowPostRenderEffect("second"));
    Ref<SceneNode> a = Holder("a", first.Get(), {Lit("mast").Get()});
    Ref<SceneNode> b = Holder("b", second.Get(), {Lit("buoy").Get()});
    first->AddGlowNode(b.Get());
    second->AddGlowNode(a.Get());
    cycles = {glow, first, second};
    DrawFrame(*Holder("pair", nullptr, {a.Get(), b.Get()}));
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent buoy depth-equal").size(), 1u);
    EXPECT_EQ(renderer->CallsStartingWith("DrawCurrent mast depth-equal").size(), 1u);
    EXPECT_EQ(renderer->GetTargetDepth(), 0);
}

}  // namespace
}  // namespace zav
