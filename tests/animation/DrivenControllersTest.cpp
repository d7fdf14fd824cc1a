// Controllers that drive other controllers: camera activation and skeletons.
#include <gtest/gtest.h>

#include "engine/animation/CameraActivateAnimationController.h"
#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/SkeletonAnimationController.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"
#include "tests/animation/AnimationTestSupport.h"

namespace zav {
namespace {

using test::Frame;
using test::MoveAnimation;
using test::Near;

// A node animation controller of a one-second track moving x from 0 to 10
// and back on its owner.
Ref<NodeAnimationController> Mover(Node* owner, const char* name = "mover") {
    Ref<NodeAnimationController> controller(new NodeAnimationController(name));
    controller->SetPeriod(1.0);
    controller->AddAnimation(MoveAnimation("slide", {{0.0, {0, 0, 0}}, {0.5, {10, 0, 0}}}).Get());
    controller->AddFrame(Frame(controller->GetAnimation(0), 0.0, 1.0));
    if (owner) {
        EXPECT_EQ(owner->AddController(controller.Get()), kOk);
    }
    return controller;
}

float X(const Node& node) { return node.GetLocalTransform().translation.x; }

// Camera "shot" with its flying controller, its target's controller and a
// camera-activation controller switching a prop's controller: on during
// the first half of the shot, off during the second.
class CameraActivation : public ::testing::Test {
protected:
    void SetUp() override {
        camera_ = new Camera("shot");
        fly_ = Mover(camera_.Get(), "fly");
        fly_->SetPeriod(4.0);
        target_ = new SceneNode("target");
        aim_ = Mover(target_.Get(), "aim");
        prop_ = new SceneNode("prop");
        propMover_ = Mover(prop_.Get(), "prop mover");
        activate_ = new CameraActivateAnimationController("activate");
        activate_->SetPeriod(1.0);
        activate_->AddFrame(Frame(test::BoolKeys("on", {{0.0, true}, {0.5, false}}).Get(), 0.0, 1.0));
        activate_->SetCameraController(fly_.Get());
        activate_->SetTargetController(aim_.Get());
        activate_->AddSwitched(propMover_.Get());
        ASSERT_EQ(camera_->AddController(activate_.Get()), kOk);
    }

    test::CurrentNullRenderer renderer_;
    Ref<Camera> camera_, other_{new Camera("other")};
    Ref<SceneNode> target_, prop_;
    Ref<NodeAnimationController> fly_, aim_, propMover_;
    Ref<CameraActivateAnimationController> activate_;
};

TEST_F(CameraActivation, TheCurrentCameraRunsItsControllersAndSwitchesOthersByItsKeys) {
    renderer_->SetCamera(camera_.Get());
    fly_->SetPhase(0.2);
    camera_->Update(0.0);
    EXPECT_TRUE(fly_->IsActive());
    EXPECT_TRUE(aim_->IsActive());
    EXPECT_EQ(activate_->GetPhase(), 0.2);  // it follows the camera's track
    EXPECT_TRUE(propMover_->IsActive());

    fly_->SetPhase(0.7);
    camera_->Update(0.0);
    EXPECT_EQ(activate_->GetPhase(), 0.7);
    EXPECT_FALSE(propMover_->IsActive());
    // The activation controller does not advance on its own.
    camera_->Update(0.5);
    EXPECT_EQ(activate_->GetPhase(), 0.7);
}

TEST_F(CameraActivation, AnotherCurrentCameraStopsTheShotAndShowsTheStartingPoses) {
    renderer_->SetCamera(other_.Get());
    fly_->SetPhase(0.6);
    aim_->SetPhase(0.3);
    propMover_->SetPhase(0.25);
    prop_->Update(0.0);
    ASSERT_NEAR(X(*prop_), 5.0f, 1e-5f);

    camera_->Update(0.1);
    EXPECT_FALSE(fly_->IsActive());
    EXPECT_FALSE(aim_->IsActive());
    EXPECT_EQ(fly_->GetPhase(), 0.0);
    EXPECT_EQ(fly_->GetStageCount(), 0);
    EXPECT_EQ(aim_->GetPhase(), 0.0);
    EXPECT_FALSE(propMover_->IsActive());
    EXPECT_EQ(propMover_->GetPhase(), 0.0);
    EXPECT_NEAR(X(*prop_), 0.0f, 1e-6f);  // the prop at its starting pose

    // The shot's camera becomes current: the switched controller runs.
    renderer_->SetCamera(camera_.Get());
    camera_->Update(0.0);
    EXPECT_TRUE(fly_->IsActive());
    EXPECT_TRUE(propMover_->IsActive());
    prop_->Update(0.25);
    EXPECT_NEAR(X(*prop_), 5.0f, 1e-5f);
}

TEST_F(CameraActivation, NothingHappensWithoutCameraControllerOwnerOrWhileInactive) {
    renderer_->SetCamera(other_.Get());
    activate_->SetCameraController(nullptr);
    camera_->Update(0.0);
    EXPECT_TRUE(fly_->IsActive());
    EXPECT_TRUE(propMover_->IsActive());
    activate_->SetCameraController(fly_.Get());
    activate_->SetActive(false);
    camera_->Update(0.0);
    EXPECT_TRUE(fly_->IsActive());
    Ref<CameraActivateAnimationController> ownerless(new CameraActivateAnimationController());
    ownerless->SetCameraController(fly_.Get());
    ownerless->Update(0.0);
    EXPECT_TRUE(fly_->IsActive());
}

TEST_F(CameraActivation, AControllerListingItselfOrOneThatLeadsBackIsSkipped) {
    activate_->AddSwitched(activate_.Get());
    Ref<CameraActivateAnimationController> second(new CameraActivateAnimationController("second"));
    second->SetCameraController(fly_.Get());
    second->AddSwitched(activate_.Get());
    activate_->AddSwitched(second.Get());
    ASSERT_EQ(other_->AddController(second.Get()), kOk);
    renderer_->SetCamera(other_.Get());
    camera_->Update(0.0);  // returns: neither recurses without end
    EXPECT_TRUE(activate_->IsActive());
    renderer_->SetCamera(camera_.Get());
    fly_->SetPhase(0.7);
    camera_->Update(0.0);
    EXPECT_TRUE(activate_->IsActive());  // it does not switch itself off
    EXPECT_FALSE(second->IsActive());
    activate_->DropReferences();  // the cycle the test built
    second->DropReferences();
}

// A skeleton of two bones, each moved by its own controller that runs only
// through the skeleton.
class Skeleton : public ::testing::Test {
protected:
    void SetUp() override {
        body_ = new SceneNode("body");
        skeleton_ = new SkeletonAnimationController("skeleton");
        skeleton_->SetPeriod(1.0);
        ASSERT_EQ(body_->AddController(skeleton_.Get()), kOk);
        for (int i = 0; i < 2; ++i) {
            bones_[i] = new SceneNode(i ? "forearm" : "arm");
            boneControllers_[i] = Mover(bones_[i].Get());
            boneControllers_[i]->SetActive(false);
            skeleton_->AddBoneController(boneControllers_[i].Get());
        }
    }

    Ref<SceneNode> body_;
    Ref<SkeletonAnimationController> skeleton_;
    Ref<SceneNode> bones_[2];
    Ref<NodeAnimationController> boneControllers_[2];
};

TEST_F(Skeleton, BonesMoveOnlyThroughTheSkeleton) {
    bones_[0]->Update(0.25);
    EXPECT_EQ(boneControllers_[0]->GetPhase(), 0.0);
    EXPECT_EQ(X(*bones_[0]), 0.0f);

    body_->Update(0.25);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(boneControllers_[i]->GetPhase(), 0.25);
        EXPECT_NEAR(X(*bones_[i]), 5.0f, 1e-5f);
        EXPECT_FALSE(boneControllers_[i]->IsActive());
    }
    skeleton_->SetActive(false);
    body_->Update(0.25);
    EXPECT_EQ(boneControllers_[0]->GetPhase(), 0.25);
}

TEST_F(Skeleton, StagesAndPhasesAreHandedOnToTheBones) {
    Ref<NodeAnimation> wave = MoveAnimation("wave", {{0.0, {1, 0, 0}}});
    ASSERT_EQ(skeleton_->SetStage(wave.Get(), 1, 0.4f), kOk);
    for (auto& bone : boneControllers_) {
        ASSERT_EQ(bone->GetStageCount(), 2);
        EXPECT_EQ(bone->GetStage(1).animation.Get(), wave.Get());
        EXPECT_EQ(bone->GetStage(1).weight, 0.4f);
    }
    skeleton_->SetStageWeight(1, 0.8f);
    skeleton_->SetStageWeight(4, 0.1f);
    EXPECT_EQ(boneControllers_[1]->GetStage(1).weight, 0.8f);
    EXPECT_EQ(boneControllers_[1]->GetStageCount(), 2);

    // By name: each bone its own animation of the name; one without keeps
    // the stage's weight.
    Ref<NodeAnimation> ownWave = MoveAnimation("wave", {{0.0, {2, 0, 0}}});
    boneControllers_[0]->AddAnimation(ownWave.Get());
    ASSERT_EQ(skeleton_->SetStageByName("wave", 1, 0.3f), kOk);
    EXPECT_EQ(boneControllers_[0]->GetStage(1).animation.Get(), ownWave.Get());
    EXPECT_EQ(boneControllers_[0]->GetStage(1).weight, 0.3f);
    EXPECT_EQ(boneControllers_[1]->GetStage(1).animation.Get(), nullptr);
    EXPECT_EQ(boneControllers_[1]->GetStage(1).weight, 0.8f);
    EXPECT_EQ(skeleton_->GetStage(1).animation.Get(), nullptr);  // the skeleton has no "wave"
    EXPECT_EQ(skeleton_->GetStage(1).weight, 0.3f);

    skeleton_->SetPhase(0.6);
    EXPECT_EQ(boneControllers_[0]->GetPhase(), 0.6);
    EXPECT_EQ(boneControllers_[1]->GetPhase(), 0.6);
    skeleton_->Reset();
    EXPECT_EQ(skeleton_->GetPhase(), 0.0);
    EXPECT_EQ(boneControllers_[0]->GetStageCount(), 0);
    EXPECT_EQ(boneControllers_[0]->GetPhase(), 0.6);  // bones keep their phase
}

TEST_F(Skeleton, ASkeletonListingItselfOrACycleOfSkeletonsEnds) {
    skeleton_->AddBoneController(skeleton_.Get());
    Ref<SkeletonAnimationController> inner(new SkeletonAnimationController("inner"));
    inner->SetPeriod(1.0);
    inner->AddBoneController(skeleton_.Get());
    skeleton_->AddBoneController(inner.Get());
    body_->Update(0.25);
    EXPECT_EQ(skeleton_->GetPhase(), 0.25);
    EXPECT_EQ(inner->GetPhase(), 0.25);
    EXPECT_TRUE(skeleton_->IsActive());  // never switched off by its own update
    EXPECT_NEAR(X(*bones_[1]), 5.0f, 1e-5f);
    skeleton_->DropReferences();  // the cycle the test built
    inner->DropReferences();
}

TEST_F(Skeleton, ABoneSharedByTwoSkeletonsRunsOncePerUpdate) {
    // Skeletons nested as a diamond, twenty levels deep: every path would
    // update the shared bone a million times.
    Ref<SkeletonAnimationController> level = skeleton_;
    std::vector<Ref<SkeletonAnimationController>> keep;
    for (int depth = 0; depth < 20; ++depth) {
        Ref<SkeletonAnimationController> left(new SkeletonAnimationController("left"));
        Ref<SkeletonAnimationController> right(new SkeletonAnimationController("right"));
        Ref<SkeletonAnimationController> next(new SkeletonAnimationController("next"));
        left->AddBoneController(next.Get());
        right->AddBoneController(next.Get());
        level->AddBoneController(left.Get());
        level->AddBoneController(right.Get());
        keep.insert(keep.end(), {left, right, next});
        level = next;
    }
    Ref<NodeAnimationController> shared = Mover(nullptr, "shared");
    level->AddBoneController(shared.Get());
    body_->Update(0.125);
    EXPECT_EQ(shared->GetPhase(), 0.125);
}

}  // namespace
}  // namespace zav
