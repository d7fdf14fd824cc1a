#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Flare.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::TestGeometryEffect;

float SideOf(const Plane& plane, const Vector3& point) { return Dot(plane.normal, point) - plane.d; }

class CameraTest : public test::EngineFixture {
protected:
    test::CurrentRecordingRenderer renderer;
};

TEST_F(CameraTest, DefaultProjectionAndPlanesPointingInward) {
    Ref<Camera> camera(new Camera("eye"));
    for (int i = 0; i < Camera::kPlaneCount; ++i) {
        EXPECT_EQ(camera->GetPlane(i).normal, (Vector3{0, 0, 0}));  // zeroed until the first update
        EXPECT_EQ(camera->GetPlane(i).d, 0.0f);
    }
    renderer->SetViewportSize(400, 200);
    camera->UpdateSubtree(0.0, true);
    const Matrix4& p = camera->GetProjection();
    EXPECT_NEAR(p.m[1][1], 2.4142135f, 1e-6f);
    EXPECT_NEAR(p.m[0][0], 2.4142135f / 2, 1e-6f);
    EXPECT_NEAR(p.m[2][2], 10000.0f / 9999.9f, 1e-6f);
    EXPECT_EQ(p.m[2][3], 1.0f);
    EXPECT_EQ(p.m[3][3], 1.0f);
    EXPECT_NEAR(p.m[3][2], -0.1f * 10000.0f / 9999.9f, 1e-6f);

    // A camera turned to look along +x from (5, 0, 0): points ahead are
    // inside all six planes, points behind, far off or to a side are not.
    camera->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 0.70710678f, 0, 0.70710678f}, {5, 0, 0}));
    camera->UpdateSubtree(0.0, true);
    ASSERT_NEAR(camera->WorldAxis(2).x, 1.0f, 1e-6f);
    const Vector3 ahead{15, 0, 0};
    for (int i = 0; i < Camera::kPlaneCount; ++i) EXPECT_GT(SideOf(camera->GetPlane(i), ahead), 0.0f) << i;
    EXPECT_LT(SideOf(camera->GetPlane(Camera::kNear), {4, 0, 0}), 0.0f);
    EXPECT_LT(SideOf(camera->GetPlane(Camera::kFar), {1e6f, 0, 0}), 0.0f);
    const Vector3 right = camera->WorldAxis(0), up = camera->WorldAxis(1);
    EXPECT_LT(SideOf(camera->GetPlane(Camera::kRight), ahead + right * 100), 0.0f);
    EXPECT_LT(SideOf(camera->GetPlane(Camera::kLeft), ahead - right * 100), 0.0f);
    EXPECT_LT(SideOf(camera->GetPlane(Camera::kTop), ahead + up * 100), 0.0f);
    EXPECT_LT(SideOf(camera->GetPlane(Camera::kBottom), ahead - up * 100), 0.0f);
}

TEST_F(CameraTest, DegenerateParametersKeepThePreviousMatricesAndPlanes) {
    Ref<Camera> camera(new Camera("eye"));
    camera->UpdateSubtree(0.0, true);
    const Matrix4 projection = camera->GetProjection();
    const Plane left = camera->GetPlane(Camera::kLeft);
    auto expectUnchanged = [&](const char* what) {
        camera->UpdateSubtree(0.0, true);
        EXPECT_EQ(camera->GetProjection(), projection) << what;
        EXPECT_EQ(camera->GetPlane(Camera::kLeft).normal, left.normal) << what;
        EXPECT_TRUE(IsFinite(camera->GetViewProjection())) << what;
    };
    camera->SetFieldOfView(0.0f);
    expectUnchanged("no field of view");
    camera->SetFieldOfView(3.1415927f);
    expectUnchanged("a field of view of pi");
    camera->SetFieldOfView(0.7853982f);
    camera->SetNearPlane(5.0f);
    camera->SetFarPlane(5.0f);
    expectUnchanged("near = far");
    camera->SetFarPlane(100.0f);
    renderer->SetViewportSize(renderer->GetViewportWidth(), 0);
    expectUnchanged("a target without height");
    renderer->SetViewportSize(renderer->GetViewportWidth(), 600);
    camera->SetLocalTransform(MakeTransform({1, 1, 1}, {0.5f, 0.5f, 0, 0}, {}));
    expectUnchanged("a rotation that collapses the axes");
}

TEST_F(CameraTest, CullMaskDropsPlanesASphereIsInsideAndDrawRestoresIt) {
    Ref<Camera> camera(new Camera("eye"));
    camera->UpdateSubtree(0.0, true);
    renderer->SetCamera(camera.Get());
    EXPECT_EQ(camera->GetCullMask(), Camera::kAllPlanes);

    SphereBoundingVolume inside({0, 0, 50}, 1), straddling({-28, 0, 50}, 5), behind({0, 0, -50}, 1);
    EXPECT_FALSE(camera->IsCulled(&inside));
    EXPECT_EQ(camera->GetCullMask() & 63, 0);
    camera->SetCullMask(Camera::kAllPlanes);
    EXPECT_FALSE(camera->IsCulled(&straddling));
    EXPECT_EQ(camera->GetCullMask() & 63, 8);  // only the left plane is still to test
    camera->SetCullMask(Camera::kAllPlanes);
    EXPECT_TRUE(camera->IsCulled(&behind));
    EXPECT_FALSE(camera->IsCulled(nullptr));

    // Culling through a hierarchy: a group inside every plane passes its
    // children untested; a child outside is still culled; the mask is the
    // same after the walk.
    std::vector<std::string>& calls = renderer->calls;
    auto drawable = [&calls](const char* name, float z) {
        Ref<Points> node(new Points(name));
        Ref<TestGeometryEffect> effect(new TestGeometryEffect(name));
        effect->calls = &calls;
        node->SetEffect(effect.Get());
        node->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {0, 0, z}));
        return node;
    };
    Ref<SceneNode> root(new SceneNode("root", 0, 4));
    root->AddChild(drawable("seen", 50).Get());
    root->AddChild(drawable("behind", -50).Get());
    root->AddChild(drawable("beyond", 500000).Get());
    root->UpdateSubtree(0.0, true);
    camera->SetCullMask(Camera::kAllPlanes);
    root->Draw(*renderer);
    EXPECT_EQ(renderer->CallsStartingWith("Draw"), std::vector<std::string>{"DrawCurrent seen"});
    EXPECT_EQ(camera->GetCullMask(), Camera::kAllPlanes);

    // Without a camera nothing is culled.
    renderer->SetCamera(nullptr);
    renderer->calls.clear();
    root->Draw(*renderer);
    EXPECT_EQ(renderer->CallsStartingWith("Draw").size(), 3u);
}

TEST_F(CameraTest, CamerasAndLightsRoundTrip) {
    Ref<FPCamera> camera(new FPCamera("fp"));
    camera->SetFieldOfView(1.0f);
    camera->SetNearPlane(0.5f);
    camera->SetFarPlane(50.0f);
    camera->fpValue1 = 7;
    camera->fpFlag = true;
    Ref<FPCamera> loadedCamera = test::RoundTrip(camera.Get());
    ASSERT_TRUE(loadedCamera);
    EXPECT_EQ(loadedCamera->GetFieldOfView(), 1.0f);
    EXPECT_EQ(loadedCamera->GetFarPlane(), 50.0f);
    EXPECT_EQ(loadedCamera->fpValue1, 7.0f);
    EXPECT_EQ(loadedCamera->fpValue2, 3.0f);
    EXPECT_TRUE(loadedCamera->fpFlag);

    Ref<Light> light(new Light(Light::kSpot, "spot"));
    light->diffuse = {1, 0.5f, 0.25f, 1};
    light->attenuation = {1, 0.1f, 0.01f};
    light->useAttenuation = true;
    light->spotAngle = 0.5f;
    Ref<Light> loaded = test::RoundTrip(light.Get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->lightKind, Light::kSpot);
    EXPECT_EQ(loaded->diffuse, light->diffuse);
    EXPECT_EQ(loaded->attenuation, light->attenuation);
    EXPECT_TRUE(loaded->useAttenuation);

    test::LogCapture capture;
    std::string truncated = test::SaveToBytes(light.Get());
    truncated.resize(truncated.size() - 3);
    EXPECT_FALSE(test::LoadFromBytes(truncated));
    EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить данные источника света. ID["));
}

TEST_F(CameraTest, LightsDescribeThemselvesByKind) {
    Ref<Light> light(new Light(Light::kSpot, "spot"));
    light->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 0.70710678f, 0, 0.70710678f}, {1, 2, 3}));
    light->UpdateSubtree(0.0, true);
    light->spotAngle = 0.5f;
    light->spotFalloff = 2.0f;
    LightDescription d;
    ASSERT_TRUE(light->Describe(d));
    EXPECT_EQ(d.type, LightDescription::kSpot);
    EXPECT_EQ(d.position, (Vector3{1, 2, 3}));
    EXPECT_NEAR(d.direction.x, 1.0f, 1e-6f);
    EXPECT_EQ(d.innerCone, 1.0f);
    EXPECT_FLOAT_EQ(d.outerCone, 1.05f);
    EXPECT_EQ(d.attenuation[0], 1.0f);  // not attenuated unless asked
    EXPECT_EQ(d.attenuation[1], 0.0f);

    light->lightKind = Light::kWorldDirectional;
    ASSERT_TRUE(light->Describe(d));
    EXPECT_EQ(d.direction, (Vector3{0, 0, 1}));
    light->lightKind = 9;
    EXPECT_FALSE(light->Describe(d));
}

class FlareTest : public CameraTest {};

TEST_F(FlareTest, BillboardFacesTheCameraAroundThePosition) {
    Ref<Camera> camera(new Camera("eye"));
    camera->UpdateSubtree(0.0, true);
    renderer->SetCamera(camera.Get());
    Ref<Flare> flare(new Flare("glow"));
    flare->SetSize(2.0f);
    flare->SetColor({1, 0, 0, 1});
    flare->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {0, 0, 10}));
    flare->UpdateSubtree(0.0, true);
    Vector3Buffer* vertices = flare->GetVertices();
    ASSERT_EQ(vertices->GetCount(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ((*vertices)[i].z, 10.0f) << i;  // in the camera's x-y plane
        EXPECT_NEAR(Length((*vertices)[i] - Vector3{0, 0, 10}), 1.0f, 1e-5f) << i;
        EXPECT_EQ((*flare->GetColors())[i], (Color{1, 0, 0, 1}));
    }
    // Bottom-left first, top-right fifth.
    EXPECT_LT((*vertices)[0].x, 0.0f);
    EXPECT_LT((*vertices)[0].y, 0.0f);
    EXPECT_GT((*vertices)[4].x, 0.0f);
    EXPECT_GT((*vertices)[4].y, 0.0f);
    EXPECT_EQ((*ObjectCast<Vector2Buffer>(flare->GetTexCoords(0)))[4], (Vector2{1, 0}));
    EXPECT_EQ(flare->GetPrimitiveType(), kPrimitiveTriangles);

    Ref<TestGeometryEffect> effect(new TestGeometryEffect("fx"));
    flare->SetEffect(effect.Get());
    flare->Render(*renderer);
    EXPECT_EQ(renderer->CallsStartingWith("Draw"), std::vector<std::string>{"DrawPrimitives glow 2"});
}

TEST_F(FlareTest, PointSpritesUseOneEntryAndShortBuffersAreMadeAgain) {
    renderer->SetPointSprites(true);
    Ref<Flare> flare(new Flare("spark"));
    flare->SetVertices(new Vector3Buffer());  // as a file might leave it
    flare->SetPointSizes(nullptr);
    flare->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {1, 2, 3}));
    flare->UpdateSubtree(0.0, true);
    ASSERT_GE(flare->GetVertices()->GetCount(), 1);
    EXPECT_EQ((*flare->GetVertices())[0], (Vector3{1, 2, 3}));
    ASSERT_NE(flare->GetPointSizes(), nullptr);
    EXPECT_EQ((*flare->GetPointSizes())[0], 0.01f);
    EXPECT_EQ(flare->GetPrimitiveType(), kPrimitivePoints);
    Ref<TestGeometryEffect> effect(new TestGeometryEffect("fx"));
    flare->SetEffect(effect.Get());
    flare->Render(*renderer);
    EXPECT_EQ(renderer->CallsStartingWith("Draw"), std::vector<std::string>{"DrawPrimitives spark 1"});

    // Switching to billboards with a one-entry buffer: nothing is drawn
    // from too few vertices; the next update makes six.
    renderer->SetPointSprites(false);
    renderer->calls.clear();
    flare->Render(*renderer);
    EXPECT_TRUE(renderer->CallsStartingWith("Draw").empty());
    Ref<Camera> camera(new Camera("eye"));
    renderer->SetCamera(camera.Get());
    flare->UpdateSubtree(0.0, true);
    EXPECT_EQ(flare->GetVertices()->GetCount(), 6);
}

TEST_F(FlareTest, SizeIsNeverNegativeAndTheVolumeFollowsIt) {
    Ref<Flare> flare(new Flare("glow"));
    EXPECT_EQ(static_cast<SphereBoundingVolume*>(flare->GetLocalVolume())->GetRadius(), 0.01f * 5000.0f);
    flare->SetSize(0.5f);
    flare->SetColor({0, 1, 0, 0.5f});
    Ref<Flare> loaded = test::RoundTrip(flare.Get());
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->GetSize(), 0.5f);
    EXPECT_EQ(loaded->GetColor(), (Color{0, 1, 0, 0.5f}));
    EXPECT_EQ(static_cast<SphereBoundingVolume*>(loaded->GetLocalVolume())->GetRadius(), 2500.0f);

    std::string bytes = test::SaveToBytes(flare.Get());
    bytes.replace(bytes.size() - 4, 4, test::FloatBytes(-2.0f));
    Ref<Flare> negative(ObjectCast<Flare>(test::LoadFromBytes(bytes).Get()));
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->GetSize(), 0.0f);
    EXPECT_EQ(static_cast<SphereBoundingVolume*>(negative->GetLocalVolume())->GetRadius(), 0.0f);
}

}  // namespace
}  // namespace zav
