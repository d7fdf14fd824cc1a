#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine/animation/TargetControllers.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "engine/scene/VectorMath.h"
#include "tests/animation/AnimationTestSupport.h"

namespace zav {
namespace {

using test::Near;

// The axes a look-at frame must have, worked out directly.
void ExpectLooksAlong(const Quaternion& rotation, const Vector3& direction) {
    const Vector3 forward = Normalize(direction);
    const Vector3 right = Normalize(Cross({0, 1, 0}, forward));
    const Vector3 up = Cross(forward, right);
    // The rotation matrix of the quaternion (the rule of RotationMatrix)
    // has them as its columns, and the quaternion is a unit one.
    EXPECT_TRUE(Near(RotationAxis(rotation, 0), right, 2e-5f));
    EXPECT_TRUE(Near(RotationAxis(rotation, 1), up, 2e-5f));
    EXPECT_TRUE(Near(RotationAxis(rotation, 2), forward, 2e-5f));
    const float norm =
        rotation.x * rotation.x + rotation.y * rotation.y + rotation.z * rotation.z + rotation.w * rotation.w;
    EXPECT_NEAR(norm, 1.0f, 1e-5f);
}

TEST(LookAtRotation, ItsMatrixHasRightUpAndForwardAsColumns) {
    // Along the axes and backwards (each way of reading the matrix), then
    // many random directions.
    std::vector<Vector3> directions = {{0, 0, 1},         {0, 0, -1},           {1, 0, 0},
                                       {-1, 0, 0},        {0.3f, -0.9f, -0.2f}, {-1, 0.5f, -0.01f},
                                       {0.01f, 0.2f, -1}, {-0.7f, 0.1f, 0.7f}};
    std::mt19937 random(3);
    std::normal_distribution<float> normal;
    for (int i = 0; i < 500; ++i) directions.push_back({normal(random), normal(random), normal(random)});
    for (const Vector3& direction : directions) {
        const Vector3 eye{1, 2, 3};
        Quaternion rotation;
        ASSERT_TRUE(LookAtRotation(eye, eye + direction, rotation));
        ExpectLooksAlong(rotation, direction);
    }
}

TEST(LookAtRotation, NoRotationForATargetAboveBelowOrAtTheEye) {
    const Quaternion before{0.1f, 0.2f, 0.3f, 0.9f};
    for (const Vector3& target : {Vector3{1, 5, 1}, Vector3{1, -5, 1}, Vector3{1, 1, 1}}) {
        Quaternion rotation = before;
        EXPECT_FALSE(LookAtRotation({1, 1, 1}, target, rotation));
        EXPECT_EQ(rotation, before);
    }
}

class TargetCamera : public ::testing::Test {
protected:
    void SetUp() override {
        root_->AddChild(camera_.Get());
        root_->AddChild(target_.Get());
        root_->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), {0, 0, 10}));
        camera_->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), {0, 1, 0}));
        target_->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), {4, 1, 3}));
        look_->SetTarget(target_.Get());
        ASSERT_EQ(camera_->AddController(look_.Get()), kOk);
    }

    Ref<SceneNode> root_{new SceneNode("root")};
    Ref<Camera> camera_{new Camera("camera")};
    Ref<SceneNode> target_{new SceneNode("target")};
    Ref<TargetCameraController> look_{new TargetCameraController("look")};
};

TEST_F(TargetCamera, TheCameraTurnsTowardsItsTargetAndKeepsTheTurnThroughItsOwnUpdate) {
    root_->UpdateSubtree(0.0, true);  // the target's world transform first
    root_->UpdateSubtree(0.0, true);
    const Transform& world = camera_->GetWorldTransform();
    EXPECT_TRUE(Near(world.translation, {0, 1, 10}));
    ExpectLooksAlong(world.rotation, {4, 0, 3});
    EXPECT_EQ(camera_->GetLocalTransform().rotation, world.rotation);
    EXPECT_FALSE(world.isIdentity);
    EXPECT_FALSE(world.isRotationIdentity);
    EXPECT_FALSE(camera_->GetLocalTransform().isRotationIdentity);
    EXPECT_FALSE(camera_->GetUpdateWorldTransform());
    // The camera's view looks the same way.
    EXPECT_TRUE(Near(camera_->WorldAxis(2), {0.8f, 0, 0.6f}));
}

TEST_F(TargetCamera, ATargetStraightAboveOrAtTheCameraKeepsThePreviousRotation) {
    root_->UpdateSubtree(0.0, true);
    root_->UpdateSubtree(0.0, true);
    const Quaternion before = camera_->GetWorldTransform().rotation;
    for (const Vector3& place : {Vector3{0, 9, 0}, Vector3{0, -3, 0}, Vector3{0, 1, 0}}) {
        target_->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), place));
        target_->UpdateSubtree(0.0, false);
        root_->UpdateSubtree(0.0, true);
        EXPECT_EQ(camera_->GetWorldTransform().rotation, before);
        EXPECT_TRUE(std::isfinite(camera_->GetWorldTransform().rotation.w));
    }
    // Moving the root still moves the camera: its world transform is
    // composed every update.
    root_->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), {0, 0, 20}));
    root_->UpdateSubtree(0.0, true);
    EXPECT_TRUE(Near(camera_->GetWorldTransform().translation, {0, 1, 20}));
}

TEST(TargetControllers, OnlyTheirOwnClassOfOwnerWithATargetWhileActiveIsTurned) {
    Ref<SceneNode> target(new SceneNode("target"));
    target->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), {5, 0, 0}));
    target->Update(0.0);

    Ref<Light> light(new Light(Light::kSpot, "spot"));
    Ref<TargetLightController> aimLight(new TargetLightController());
    aimLight->SetTarget(target.Get());
    light->AddController(aimLight.Get());
    light->Update(0.0);
    EXPECT_TRUE(Near(light->GetDirection(), {1, 0, 0}));

    // A camera controller on a light, a light controller on a camera, no
    // target, inactive: nothing turns.
    Ref<Light> other(new Light(Light::kSpot, "other"));
    Ref<TargetCameraController> aimCamera(new TargetCameraController());
    aimCamera->SetTarget(target.Get());
    other->AddController(aimCamera.Get());
    Ref<Camera> camera(new Camera("camera"));
    Ref<TargetLightController> wrong(new TargetLightController());
    wrong->SetTarget(target.Get());
    camera->AddController(wrong.Get());
    Ref<Light> untargeted(new Light(Light::kSpot, "untargeted"));
    untargeted->AddController(Ref<TargetLightController>(new TargetLightController()).Get());
    Ref<Light> idle(new Light(Light::kSpot, "idle"));
    Ref<TargetLightController> inactive(new TargetLightController());
    inactive->SetTarget(target.Get());
    inactive->SetActive(false);
    idle->AddController(inactive.Get());
    for (Node* node : std::initializer_list<Node*>{other.Get(), camera.Get(), untargeted.Get(), idle.Get()}) {
        node->Update(0.0);
        EXPECT_TRUE(node->GetWorldTransform().isRotationIdentity) << node->GetName().CStr();
        EXPECT_TRUE(node->GetUpdateWorldTransform());
    }
}

}  // namespace
}  // namespace zav
