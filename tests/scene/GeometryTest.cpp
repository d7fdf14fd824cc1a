#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/TransformMath.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::TestGeometryEffect;

template <class T, class E>
Ref<T> BufferOf(std::initializer_list<E> elements) {
    Ref<T> buffer(new T(static_cast<int>(elements.size())));
    int i = 0;
    for (const E& e : elements) (*buffer)[i++] = e;
    return buffer;
}

void ExpectNear(const Vector3& actual, const Vector3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5f);
    EXPECT_NEAR(actual.y, expected.y, 1e-5f);
    EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

class GeometryTest : public test::EngineFixture {
protected:
    // A unit quad in the x-y plane as two triangles, u along +x, v along +y.
    Ref<Triangles> Quad() {
        Ref<Triangles> quad(new Triangles("quad"));
        quad->SetVertices(BufferOf<Vector3Buffer, Vector3>({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}).Get());
        quad->SetTexCoords(0, BufferOf<Vector2Buffer, Vector2>({{0, 0}, {1, 0}, {1, 1}, {0, 1}}).Get());
        quad->SetIndices(BufferOf<IntBuffer, int32_t>({0, 1, 2, 0, 2, 3}).Get());
        return quad;
    }
};

TEST_F(GeometryTest, NormalsAreAreaWeightedAndSkipWhatTheyCannotUse) {
    Ref<Triangles> quad = Quad();
    quad->GenerateNormals();
    ASSERT_NE(quad->GetNormals(), nullptr);
    for (int i = 0; i < 4; ++i) ExpectNear((*quad->GetNormals())[i], {0, 0, 1});
    EXPECT_TRUE(quad->GetNormals()->IsDirty());

    // Coincident corners give no normal; trailing indices are ignored; an
    // index past the vertices drops its triangle instead of reading past.
    Ref<Triangles> odd(new Triangles("odd"));
    odd->SetVertices(BufferOf<Vector3Buffer, Vector3>({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {0, 0, 0}, {1, 0, 0}}).Get());
    odd->SetIndices(BufferOf<IntBuffer, int32_t>({0, 1, 2, 3, 4, 99, 3, 4, -1, 3, 4}).Get());
    odd->GenerateNormals();
    ASSERT_NE(odd->GetNormals(), nullptr);
    for (int i = 0; i < 5; ++i) EXPECT_EQ((*odd->GetNormals())[i], (Vector3{0, 0, 0})) << i;

    // Without indices nothing happens.
    Ref<Triangles> loose(new Triangles("loose"));
    loose->SetVertices(BufferOf<Vector3Buffer, Vector3>({{0, 0, 0}}).Get());
    loose->GenerateNormals();
    EXPECT_EQ(loose->GetNormals(), nullptr);
}

TEST_F(GeometryTest, TangentsFollowUAndSkipDegenerateMappings) {
    Ref<Triangles> quad = Quad();
    quad->GenerateTangents(0);
    ASSERT_NE(quad->GetTangents(), nullptr);
    for (int i = 0; i < 4; ++i) ExpectNear((*quad->GetTangents())[i], {1, 0, 0});

    // All three texture coordinates equal: the divisor vanishes and the
    // triangle adds nothing (no inf, no NaN).
    Ref<Triangles> flat = Quad();
    flat->SetTexCoords(0, BufferOf<Vector2Buffer, Vector2>({{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}, {0, 1}}).Get());
    flat->GenerateTangents(0);
    ASSERT_NE(flat->GetTangents(), nullptr);
    EXPECT_EQ((*flat->GetTangents())[1], (Vector3{0, 0, 0}));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(IsFinite((*flat->GetTangents())[i]));

    // A float set or a missing set leaves the tangents as they were.
    Ref<Triangles> floats = Quad();
    floats->SetTexCoords(1, BufferOf<FloatBuffer, float>({0, 1, 2, 3}).Get());
    floats->GenerateTangents(1);
    floats->GenerateTangents(5);
    EXPECT_EQ(floats->GetTangents(), nullptr);

    // Texture coordinates shorter than the vertices drop the triangles that
    // would read past them.
    Ref<Triangles> shortSet = Quad();
    shortSet->SetTexCoords(0, BufferOf<Vector2Buffer, Vector2>({{0, 0}, {1, 0}, {1, 1}}).Get());
    shortSet->GenerateTangents(0);
    ExpectNear((*shortSet->GetTangents())[1], {1, 0, 0});
    EXPECT_EQ((*shortSet->GetTangents())[3], (Vector3{0, 0, 0}));
}

TEST_F(GeometryTest, NewVerticesDropTangentsKeepNormalsAndTellTheEffect) {
    Ref<Triangles> quad = Quad();
    Ref<TestGeometryEffect> effect(new TestGeometryEffect("fx"));
    quad->SetEffect(effect.Get());
    EXPECT_EQ(effect->GetNode(), quad.Get());
    EXPECT_EQ(effect->invalidations, 0);
    quad->Rebuild(true, true);
    ASSERT_NE(quad->GetTangents(), nullptr);
    const int before = effect->invalidations;
    quad->SetVertices(BufferOf<Vector3Buffer, Vector3>({{0, 0, 0}}).Get());
    EXPECT_EQ(quad->GetTangents(), nullptr);
    EXPECT_NE(quad->GetNormals(), nullptr);
    EXPECT_EQ(effect->invalidations, before + 1);
    EXPECT_EQ(quad->SetTexCoords(0, BufferOf<IntBuffer, int32_t>({1}).Get()), kFailed);
    EXPECT_EQ(quad->SetTexCoords(8, nullptr), kFailed);

    quad->SetEffect(nullptr);
    EXPECT_EQ(effect->GetNode(), nullptr);
}

TEST_F(GeometryTest, WorldVolumeIsTheLocalOneMovedWithTheNode) {
    Ref<Triangles> quad = Quad();
    quad->UpdateLocalVolume();
    quad->SetLocalTransform(MakeTransform({2, 2, 2}, {}, {10, 0, 0}));
    quad->UpdateSubtree(0.0, true);
    auto* world = static_cast<SphereBoundingVolume*>(quad->GetWorldVolume());
    ExpectNear(world->GetCenter(), {11, 1, 0});
    EXPECT_NEAR(world->GetRadius(), std::sqrt(2.0f), 1e-5f);
}

TEST_F(GeometryTest, RecordRoundTripsEveryField) {
    Ref<Triangles> quad = Quad();
    Ref<TestGeometryEffect> effect(new TestGeometryEffect("fx"));
    quad->SetEffect(effect.Get());
    quad->Rebuild(true, true);
    quad->SetColors(BufferOf<ColorBuffer, Color>({{1, 0, 0, 1}}).Get());
    quad->SetPointSizes(BufferOf<FloatBuffer, float>({2}).Get());
    quad->SetTexCoords(7, BufferOf<Vector4Buffer, Vector4>({{1, 2, 3, 4}}).Get());

    Ref<Triangles> loaded = test::RoundTrip(quad.Get());
    ASSERT_TRUE(loaded);
    ASSERT_NE(loaded->GetEffect(), nullptr);
    EXPECT_EQ(loaded->GetEffect()->GetNode(), loaded.Get());
    EXPECT_EQ(loaded->GetVertices()->GetCount(), 4);
    ASSERT_NE(loaded->GetTangents(), nullptr);  // set after the vertices that drop them
    EXPECT_EQ(loaded->GetNormals()->GetCount(), 4);
    EXPECT_EQ(loaded->GetColors()->GetCount(), 1);
    EXPECT_EQ((*loaded->GetPointSizes())[0], 2.0f);
    EXPECT_NE(ObjectCast<Vector4Buffer>(loaded->GetTexCoords(7)), nullptr);
    EXPECT_EQ(loaded->GetIndices()->GetCount(), 6);
    // The local volume is fitted again after loading.
    auto* local = static_cast<SphereBoundingVolume*>(loaded->GetLocalVolume());
    ExpectNear(local->GetCenter(), {0.5f, 0.5f, 0});
    EXPECT_EQ(loaded->FindObject("fx"), loaded->GetEffect());
}

TEST_F(GeometryTest, EveryPrimitiveKindRoundTripsWithItsType) {
    Ref<GeometryNode> nodes[] = {new Points("p"), new Lines("l"), new StripLines("s"), new Triangles("t")};
    for (int kind = 0; kind < 4; ++kind) {
        nodes[kind]->SetIndices(BufferOf<IntBuffer, int32_t>({0, 1}).Get());
        Ref<GeometryNode> loaded = test::RoundTrip(nodes[kind].Get());
        ASSERT_TRUE(loaded) << kind;
        EXPECT_EQ(loaded->GetType(), nodes[kind]->GetType());
        EXPECT_EQ(loaded->GetPrimitiveType(), kind);
        EXPECT_EQ(loaded->GetIndices()->GetCount(), 2);
    }
    // The abstract node classes cannot be read.
    int state = 0;
    EXPECT_FALSE(test::LoadFromBytes(test::RecordHeader(1, "ZAV.GeometryNode") + test::EmptyObjectRecord(), &state));
    EXPECT_FALSE(test::LoadFromBytes(test::RecordHeader(1, "ZAV.Node") + test::EmptyObjectRecord(), &state));
}

TEST_F(GeometryTest, ATextureSlotHoldingALightFailsTheRecord) {
    Ref<Triangles> quad = Quad();
    std::string bytes = test::SaveToBytes(quad.Get());
    // Swap the first texture set's record for a light's: find its type name.
    Ref<Light> light(new Light(0, "lamp"));
    std::string lightRecord = test::SaveToBytes(light.Get());
    size_t at = bytes.find("ZAV.Vector2Buffer");
    ASSERT_NE(at, std::string::npos);
    size_t start = at - 8;  // the reference's ID and the name's length
    size_t end = start + test::SaveToBytes(quad->GetTexCoords(0)).size();
    bytes.replace(start, end - start, lightRecord);
    test::LogCapture capture;
    int state = 0;
    EXPECT_FALSE(test::LoadFromBytes(bytes, &state));
    EXPECT_NE(state, kOk);
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить текстурные координаты. ID["));
}

class GeometryDrawing : public GeometryTest {
protected:
    Ref<Points> Drawable(const char* name, float x, bool blended = false) {
        Ref<Points> node(new Points(name));
        Ref<TestGeometryEffect> effect(new TestGeometryEffect(name));
        effect->calls = &renderer->calls;
        effect->SetBlending(blended);
        node->SetEffect(effect.Get());
        node->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {x, 0, 0}));
        node->UpdateSubtree(0.0, true);
        return node;
    }

    Ref<test::RecordingRenderer> renderer{new test::RecordingRenderer()};
};

TEST_F(GeometryDrawing, PassesDrawAndSwitchOffTheirLights) {
    Ref<Points> node = Drawable("dots", 0);
    auto* effect = static_cast<TestGeometryEffect*>(node->GetEffect());
    Ref<Light> lamp(new Light(Light::kPoint, "lamp"));
    effect->light = lamp.Get();
    effect->passes = 3;
    effect->failingPasses = {1};
    node->Render(*renderer);
    EXPECT_EQ(renderer->calls,
              (std::vector<std::string>{"ApplyPass dots 0", "EnableLight lamp", "DrawCurrent dots", "DisableLight 0",
                                        "ApplyPass dots 1", "EnableLight lamp", "DisableLight 0", "ApplyPass dots 2",
                                        "EnableLight lamp", "DrawCurrent dots", "DisableLight 0"}));
    EXPECT_EQ(renderer->GetLightCount(), 0);
    EXPECT_EQ(renderer->GetCurrentNode(), node.Get());

    // Disabled or missing effects draw nothing and defer nothing.
    renderer->calls.clear();
    effect->Disable();
    node->Render(*renderer);
    Ref<Points> bare(new Points("bare"));
    bare->Render(*renderer);
    EXPECT_TRUE(renderer->calls.empty());
    EXPECT_EQ(renderer->GetDeferredCount(), 0);
}

TEST_F(GeometryDrawing, BlendedNodesWaitAndAreDrawnFarthestFirst) {
    Ref<Camera> camera(new Camera("eye"));
    camera->UpdateSubtree(0.0, true);
    renderer->SetCamera(camera.Get());
    Ref<Points> two = Drawable("two", 2, true), three = Drawable("three", 3, true), first = Drawable("first", 3, true);
    Ref<Points> lost = Drawable("lost", 0, true);
    static_cast<SphereBoundingVolume*>(lost->GetWorldVolume())->Set({NAN, 0, 0}, 1);
    first->Render(*renderer);
    two->Render(*renderer);
    lost->Render(*renderer);
    three->Render(*renderer);
    EXPECT_EQ(renderer->GetDeferredCount(), 4);
    EXPECT_TRUE(renderer->CallsStartingWith("Draw").empty());
    renderer->FlushDeferred();
    // Squared distances 9, 9, 4; equal ones keep their order, NaN goes last.
    EXPECT_EQ(renderer->CallsStartingWith("Draw"), (std::vector<std::string>{"DrawCurrent first", "DrawCurrent three",
                                                                             "DrawCurrent two", "DrawCurrent lost"}));
    EXPECT_EQ(renderer->GetDeferredCount(), 0);
}

}  // namespace
}  // namespace zav
