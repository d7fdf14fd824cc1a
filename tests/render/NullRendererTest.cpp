// The null back end: a module like the device's, device objects made at
// first use and released all at once, and what it counts.
#include <gtest/gtest.h>

#include "engine/core/Engine.h"
#include "engine/render/OcclusionQuery.h"
#include "engine/render/Texture.h"
#include "engine/render/null/NullRenderer.h"
#include "tests/render/RenderTestSupport.h"

namespace zav {
namespace {

TEST(NullRendererModule, CreatesTheRendererByNameOnceRegistered) {
    ASSERT_EQ(EngineInit(), kOk);
    EXPECT_NE(CreateRenderer("NullRenderer"), kOk);
    ASSERT_EQ(RegisterNullRendererModule(), kOk);
    ASSERT_EQ(CreateRenderer("NullRenderer"), kOk);
    auto* renderer = dynamic_cast<NullRenderer*>(GetRenderer());
    ASSERT_NE(renderer, nullptr);
    EXPECT_NE(renderer->GetModule(), nullptr);
    EXPECT_EQ(renderer->GetCaps().vertexShaderLevel, kShaderModel2);
    ASSERT_FALSE(renderer->GetModes().empty());
    EXPECT_EQ(renderer->OpenWindow(0, "", nullptr, 0, 0, 0, 0), kFailed);  // no window system here
    EXPECT_EQ(DestroyRenderer(), kOk);
    EXPECT_EQ(EngineShutdown(), kOk);
}

class NullRendererTest : public test::RenderFixture {};

TEST_F(NullRendererTest, DeviceObjectsAreMadeOnceAndReleasedTogether) {
    Ref<test::FixedFunctionTestEffect> effect(new test::FixedFunctionTestEffect("effect"));
    Ref<Image> image(new Image("image", RGB8, 2, 2));
    effect->texture = new Texture("texture", image.Get());
    Ref<Triangles> node = Triangle("node", effect.Get());
    Ref<OcclusionQuery> query(new OcclusionQuery("query"));
    renderer->BeginQuery(query.Get());
    node->Render(*renderer);
    node->Render(*renderer);
    renderer->EndQuery(query.Get());
    // Positions, indices, texture, pass, its state block and the query.
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 6);
    const NullRenderer::Counters& counters = renderer->GetCounters();
    EXPECT_EQ(counters.draws, 2);
    EXPECT_EQ(counters.primitives, 2);
    EXPECT_EQ(counters.passes, 2);
    EXPECT_EQ(counters.recordings, 1);
    EXPECT_EQ(counters.uploads, 3);
    EXPECT_EQ(counters.textureBinds, 2);

    // Released all at once (as on a lost device): everything is dirty again
    // and made anew at its next use.
    renderer->ReleaseAll();
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 0);
    EXPECT_EQ(effect->texture->GetHandle(), nullptr);
    EXPECT_TRUE(node->GetVertices()->IsDirty());
    EXPECT_EQ(query->GetOwner(), nullptr);
    node->Render(*renderer);
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 5);
    EXPECT_EQ(renderer->GetCounters().recordings, 2);
}

TEST_F(NullRendererTest, ObjectsMadeByAnotherRendererMoveOver) {
    Ref<Image> image(new Image("image", A8, 1, 1));
    Ref<Texture> texture(new Texture("texture", image.Get()));
    renderer->BindTexture(texture.Get(), 0);
    Ref<NullRenderer> other(new NullRenderer());
    other->BindTexture(texture.Get(), 1);
    EXPECT_EQ(texture->GetOwner(), other.Get());
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 0);
    EXPECT_EQ(other->GetDeviceObjectCount(), 1);
    texture = nullptr;
    EXPECT_EQ(other->GetDeviceObjectCount(), 0);
}

TEST_F(NullRendererTest, PrimitiveCountsFollowTheNodesKind) {
    class Strip : public GeometryNode {
    public:
        int GetPrimitiveType() const override { return kPrimitiveTriangleStrip; }
    };
    Ref<test::FixedFunctionTestEffect> effect(new test::FixedFunctionTestEffect("effect"));
    Ref<IntBuffer> thirty(new IntBuffer(30));
    Ref<Triangles> list = Triangle("list", effect.Get());
    list->SetVertices(new Vector3Buffer(30));
    list->SetIndices(thirty.Get());
    list->Render(*renderer);
    EXPECT_EQ(renderer->GetCounters().primitives, 10);
    Ref<Strip> strip(new Strip());
    Ref<test::FixedFunctionTestEffect> stripEffect(new test::FixedFunctionTestEffect("strip"));
    strip->SetEffect(stripEffect.Get());
    strip->SetVertices(new Vector3Buffer(30));
    strip->SetIndices(thirty.Get());
    renderer->ResetCounters();
    strip->Render(*renderer);
    EXPECT_EQ(renderer->GetCounters().primitives, 28);
}

}  // namespace
}  // namespace zav
