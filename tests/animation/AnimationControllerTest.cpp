#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/animation/AnimationController.h"
#include "engine/animation/ColorAnimationControllers.h"
#include "engine/animation/Interpolation.h"
#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/TextureAnimationController.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/scene/Flare.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "tests/animation/AnimationTestSupport.h"

namespace zav {
namespace {

using test::Frame;
using test::MoveAnimation;
using test::Near;
using test::TimeKeys;

// With keys at 0 and 0.5 the stage time is readable from the key positions.
double StageTime(const BlendStage& stage) { return stage.keyIndex * 0.5 + stage.fraction * 0.5; }

class Track : public ::testing::Test {
protected:
    // A controller whose track is one second long.
    Ref<AnimationController> TrackOf(std::initializer_list<AnimationFrame> frames) {
        Ref<AnimationController> controller(new AnimationController("track"));
        controller->SetPeriod(1.0);
        for (const AnimationFrame& frame : frames) controller->AddFrame(frame);
        return controller;
    }
    // Sets the phase and runs an update that does not advance it.
    static void UpdateAt(AnimationController& controller, double phase) {
        controller.SetPhase(phase);
        controller.Update(0.0);
    }

    Ref<Animation> a_ = TimeKeys({0.0, 0.5});
    Ref<Animation> b_ = TimeKeys({0.0, 0.5});
};

TEST_F(Track, ThePhaseAdvancesByTimeOverPeriodAndWraps) {
    Ref<AnimationController> controller = TrackOf({});
    controller->SetPeriod(2.0);
    controller->Update(0.5);
    EXPECT_DOUBLE_EQ(controller->GetPhase(), 0.25);
    controller->SetPhase(0.9);
    controller->SetPeriod(1.0);
    controller->Update(0.2);
    EXPECT_NEAR(controller->GetPhase(), 0.1, 1e-12);
    controller->Update(3.25);  // several passes at once
    EXPECT_NEAR(controller->GetPhase(), 0.35, 1e-12);
}

TEST_F(Track, APeriodThatIsNoPositiveNumberLeavesThePhaseAndTheStagesNumbers) {
    for (double period : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN()}) {
        Ref<AnimationController> controller = TrackOf({Frame(a_.Get(), 0.0, 1.0)});
        controller->SetPeriod(period);
        controller->SetPhase(0.3);
        controller->Update(0.5);
        EXPECT_EQ(controller->GetPhase(), 0.3) << period;
        ASSERT_EQ(controller->GetStageCount(), 1);
        EXPECT_NEAR(StageTime(controller->GetStage(0)), 0.3, 1e-12);
    }
    // A time that would make the phase no number leaves it too.
    Ref<AnimationController> controller = TrackOf({});
    controller->SetPhase(0.4);
    controller->Update(std::numeric_limits<double>::infinity());
    EXPECT_EQ(controller->GetPhase(), 0.4);
}

TEST_F(Track, OverlappingFramesCrossFadeTheLaterOneIn) {
    Ref<AnimationController> controller = TrackOf({Frame(a_.Get(), 0.0, 0.6), Frame(b_.Get(), 0.4, 1.0)});
    UpdateAt(*controller, 0.5);
    ASSERT_EQ(controller->GetStageCount(), 2);
    EXPECT_EQ(controller->GetStage(0).animation.Get(), a_.Get());
    EXPECT_EQ(controller->GetStage(1).animation.Get(), b_.Get());
    EXPECT_NEAR(controller->GetStage(0).weight, 0.5f, 1e-6f);
    EXPECT_NEAR(controller->GetStage(1).weight, 0.5f, 1e-6f);
    UpdateAt(*controller, 0.55);
    EXPECT_NEAR(controller->GetStage(0).weight, 0.25f, 1e-6f);
    EXPECT_NEAR(controller->GetStage(1).weight, 0.75f, 1e-6f);

    // Listed the other way round, the later-starting frame is the first
    // match and still fades in.
    Ref<AnimationController> reversed = TrackOf({Frame(b_.Get(), 0.4, 1.0), Frame(a_.Get(), 0.0, 0.6)});
    UpdateAt(*reversed, 0.55);
    EXPECT_EQ(reversed->GetStage(0).animation.Get(), b_.Get());
    EXPECT_NEAR(reversed->GetStage(0).weight, 0.75f, 1e-6f);
    EXPECT_NEAR(reversed->GetStage(1).weight, 0.25f, 1e-6f);

    // One frame inside the other: an even share.
    Ref<AnimationController> nested = TrackOf({Frame(a_.Get(), 0.0, 1.0), Frame(b_.Get(), 0.4, 0.6)});
    UpdateAt(*nested, 0.45);
    EXPECT_EQ(nested->GetStage(0).weight, 0.5f);
    EXPECT_EQ(nested->GetStage(1).weight, 0.5f);
}

TEST_F(Track, AnOverlapWithoutWidthSharesEvenly) {
    Ref<AnimationController> controller = TrackOf({Frame(a_.Get(), 0.0, 0.5), Frame(b_.Get(), 0.5, 1.0)});
    UpdateAt(*controller, 0.5);
    ASSERT_EQ(controller->GetStageCount(), 2);
    EXPECT_EQ(controller->GetStage(0).weight, 0.5f);
    EXPECT_EQ(controller->GetStage(1).weight, 0.5f);
    EXPECT_TRUE(std::isfinite(controller->GetStage(0).fraction));
    EXPECT_TRUE(std::isfinite(controller->GetStage(1).fraction));
}

TEST_F(Track, OneMatchAfterTwoDropsTheSecondStage) {
    Ref<AnimationController> controller = TrackOf({Frame(a_.Get(), 0.0, 0.6), Frame(b_.Get(), 0.4, 1.0)});
    UpdateAt(*controller, 0.5);
    UpdateAt(*controller, 0.8);
    ASSERT_EQ(controller->GetStageCount(), 2);
    EXPECT_EQ(controller->GetStage(0).animation.Get(), b_.Get());
    EXPECT_EQ(controller->GetStage(0).weight, 1.0f);
    EXPECT_EQ(controller->GetStage(1).animation.Get(), nullptr);
    EXPECT_EQ(controller->GetStage(1).weight, 0.0f);
    // Outside every frame nothing is evaluated: the stage keeps its place.
    Ref<AnimationController> gap = TrackOf({Frame(a_.Get(), 0.0, 0.3)});
    UpdateAt(*gap, 0.15);
    UpdateAt(*gap, 0.7);
    EXPECT_NEAR(StageTime(gap->GetStage(0)), 0.5, 1e-12);
}

TEST_F(Track, StageTimesFollowEachFramesMode) {
    // Frame [0, 0.8] at phase 0.8 and speed s: the animation time is s.
    auto firstStageTime = [&](int32_t mode, double speed, double offset = 0.0) {
        Ref<AnimationController> controller = TrackOf({Frame(a_.Get(), 0.0, 0.8, mode, speed, offset)});
        UpdateAt(*controller, 0.8);
        return StageTime(controller->GetStage(0));
    };
    EXPECT_NEAR(firstStageTime(AnimationFrame::kClamp, 0.5), 0.5, 1e-9);
    EXPECT_EQ(firstStageTime(AnimationFrame::kClamp, 1.0), 0.0);  // reaching 1 is the start again
    EXPECT_EQ(firstStageTime(AnimationFrame::kClamp, 0.5, -0.75), 0.0);
    EXPECT_NEAR(firstStageTime(AnimationFrame::kLoop, 1.25), 0.25, 1e-9);
    EXPECT_NEAR(firstStageTime(AnimationFrame::kPingPong, 1.25), 0.75, 1e-9);
    EXPECT_NEAR(firstStageTime(AnimationFrame::kPingPong, 2.25), 0.25, 1e-9);
    // The offset is in frame lengths too: (0.8 * 0.5 + 0.125) / 0.8.
    EXPECT_NEAR(firstStageTime(AnimationFrame::kLoop, 0.5, 0.125), 0.65625, 1e-9);

    // The second match: [0, 1] loops, [0.6, 0.8] is the one looked at.
    auto secondStageTime = [&](int32_t mode, double speed) {
        Ref<AnimationController> controller =
            TrackOf({Frame(b_.Get(), 0.0, 1.0), Frame(a_.Get(), 0.6, 0.8, mode, speed)});
        UpdateAt(*controller, 0.8);
        return StageTime(controller->GetStage(1));
    };
    EXPECT_EQ(secondStageTime(AnimationFrame::kClamp, 1.0), 1.0);
    EXPECT_EQ(secondStageTime(AnimationFrame::kClamp, 3.0), 1.0);
    EXPECT_NEAR(secondStageTime(AnimationFrame::kLoop, 1.25), 0.25, 1e-9);
    EXPECT_NEAR(secondStageTime(AnimationFrame::kPingPong, 1.25), 0.75, 1e-9);
}

TEST_F(Track, AFrameWithoutLengthPlaysItsAnimationsStart) {
    Ref<AnimationController> controller = TrackOf({Frame(a_.Get(), 0.3, 0.3, AnimationFrame::kLoop, 2.0, 0.4)});
    UpdateAt(*controller, 0.3);
    ASSERT_EQ(controller->GetStageCount(), 1);
    EXPECT_EQ(controller->GetStage(0).keyIndex, 0);
    EXPECT_EQ(controller->GetStage(0).fraction, 0.0);
}

TEST_F(Track, AnInactiveControllerNeitherAdvancesNorEvaluates) {
    Ref<AnimationController> controller = TrackOf({Frame(a_.Get(), 0.0, 1.0)});
    controller->SetActive(false);
    controller->Update(0.4);
    EXPECT_EQ(controller->GetPhase(), 0.0);
    EXPECT_EQ(controller->GetStageCount(), 0);
}

TEST_F(Track, StagesAreSetByAnimationByNameAndByWeight) {
    Ref<AnimationController> controller = TrackOf({});
    Ref<Animation> first = TimeKeys({0.0});
    Ref<Animation> second = TimeKeys({0.0});
    first->SetName("walk");
    second->SetName("walk");
    controller->AddAnimation(first.Get());
    controller->AddAnimation(second.Get());

    ASSERT_EQ(controller->SetStage(first.Get(), 2, 0.3f), kOk);
    ASSERT_EQ(controller->GetStageCount(), 3);
    EXPECT_EQ(controller->GetStage(0).animation.Get(), nullptr);
    EXPECT_EQ(controller->GetStage(0).weight, 1.0f);
    EXPECT_EQ(controller->GetStage(2).weight, 0.3f);
    EXPECT_EQ(controller->SetStage(first.Get(), -1, 1.0f), kFailed);

    ASSERT_EQ(controller->SetStageByName("walk", 0, 0.6f), kOk);
    EXPECT_EQ(controller->GetStage(0).animation.Get(), second.Get());  // the last of that name
    EXPECT_EQ(controller->GetStage(0).weight, 0.6f);
    ASSERT_EQ(controller->SetStageByName("run", 2, 0.7f), kOk);
    EXPECT_EQ(controller->GetStage(2).animation.Get(), nullptr);
    EXPECT_EQ(controller->GetStage(2).weight, 0.7f);

    controller->SetStageWeight(1, 0.2f);
    controller->SetStageWeight(5, 0.9f);
    EXPECT_EQ(controller->GetStage(1).weight, 0.2f);
    EXPECT_EQ(controller->GetStageCount(), 3);

    controller->SetPhase(0.7);
    controller->Reset();
    EXPECT_EQ(controller->GetStageCount(), 0);
    EXPECT_EQ(controller->GetPhase(), 0.0);
}

// A scene node driven by a node animation controller of a one-second track.
class NodeAnimationTest : public ::testing::Test {
protected:
    void SetUp() override {
        node_ = new SceneNode("box");
        controller_ = new NodeAnimationController("move");
        controller_->SetPeriod(1.0);
        ASSERT_EQ(node_->AddController(controller_.Get()), kOk);
    }
    void Place(const Vector3& translation) {
        node_->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), translation));
    }

    Ref<SceneNode> node_;
    Ref<NodeAnimationController> controller_;
};

TEST_F(NodeAnimationTest, AStageOfFullWeightPlacesTheNode) {
    Ref<NodeAnimation> animation = MoveAnimation("slide", {{0.0, {0, 0, 0}}, {0.5, {10, 0, 0}}});
    auto* turn = static_cast<NodeKeyframe*>(animation->GetKey(1));
    turn->rotation = {0, 1, 0, 0};
    turn->scale = {3, 3, 3};
    controller_->AddFrame(Frame(animation.Get(), 0.0, 1.0));
    controller_->SetPeriod(2.0);
    node_->SetUpdateWorldTransform(false);
    node_->Update(0.5);  // phase 0.25: halfway between the keys

    const Transform& local = node_->GetLocalTransform();
    EXPECT_TRUE(Near(local.translation, {5, 0, 0}));
    EXPECT_TRUE(Near(local.scale, {2, 2, 2}));
    EXPECT_TRUE(Near(local.rotation, Slerp(Quaternion(), {0, 1, 0, 0}, 0.5f)));
    EXPECT_FALSE(local.isIdentity);
    EXPECT_FALSE(local.isRotationIdentity);
    EXPECT_TRUE(node_->GetUpdateWorldTransform());
    EXPECT_TRUE(Near(node_->GetWorldTransform().translation, {5, 0, 0}));
}

TEST_F(NodeAnimationTest, WeightsBelowOneKeepPartOfTheNodesOwnValue) {
    Ref<NodeAnimation> still = MoveAnimation("still", {{0.0, {0, 0, 0}}});
    Ref<NodeAnimation> away = MoveAnimation("away", {{0.0, {8, 0, 0}}});
    controller_->AddFrame(Frame(still.Get(), 0.0, 0.6));
    controller_->AddFrame(Frame(away.Get(), 0.4, 1.0));
    Place({4, 0, 0});
    controller_->SetPhase(0.55);
    node_->Update(0.0);
    // Stage 0 (weight 0.25) from 4 towards 0 gives 3, stage 1 (0.75) from 3
    // towards 8 gives 6.75.
    EXPECT_TRUE(Near(node_->GetLocalTransform().translation, {6.75f, 0, 0}));

    // One frame whose stage weighs a half: halfway from the node's value.
    Ref<NodeAnimationController> half(new NodeAnimationController("half"));
    half->SetPeriod(1.0);
    half->AddFrame(Frame(away.Get(), 0.0, 1.0));
    half->SetStage(away.Get(), 0, 0.5f);
    Ref<SceneNode> other(new SceneNode("other"));
    other->AddController(half.Get());
    other->SetLocalTransform(MakeTransform({1, 1, 1}, Quaternion(), {2, 0, 0}));
    other->Update(0.0);
    EXPECT_TRUE(Near(other->GetLocalTransform().translation, {5, 0, 0}));
    other->Update(0.0);
    EXPECT_TRUE(Near(other->GetLocalTransform().translation, {6.5f, 0, 0}));
}

TEST_F(NodeAnimationTest, AnimationsOfAnotherKindAndOwnersOfAnotherClassChangeNothing) {
    Ref<ColorAnimation> colors = test::ColorKeys("colors", {{0.0, {1, 1, 1, 1}}});
    controller_->AddFrame(Frame(colors.Get(), 0.0, 1.0));
    Place({1, 2, 3});
    node_->Update(0.25);
    EXPECT_EQ(node_->GetLocalTransform().translation, (Vector3{1, 2, 3}));

    Ref<ColorEffect> effect(new ColorEffect("paint"));
    Ref<NodeAnimationController> misplaced(new NodeAnimationController("misplaced"));
    misplaced->SetPeriod(1.0);
    misplaced->AddFrame(Frame(MoveAnimation("m", {{0.0, {5, 5, 5}}}).Get(), 0.0, 1.0));
    ASSERT_EQ(effect->AddController(misplaced.Get()), kOk);
    effect->Animate(0.1);
    EXPECT_EQ(effect->GetColor(), (Color{1, 1, 1, 1}));
}

// Each colour controller on its owner, and on an owner of another class.
TEST(ColorControllers, BlendIntoTheirOwnersColourAndLeaveOtherOwnersAlone) {
    Ref<ColorAnimation> red = test::ColorKeys("red", {{0.0, {1, 0, 0, 1}}, {0.5, {0, 0, 1, 1}}});
    auto makeController = [&](AnimationController* controller) {
        controller->SetPeriod(1.0);
        controller->AddFrame(Frame(red.Get(), 0.0, 1.0));
        controller->SetPhase(0.125);  // a quarter of the way to blue
        return Ref<AnimationController>(controller);
    };
    const Color expected{0.75f, 0, 0.25f, 1};

    Ref<ColorEffect> effect(new ColorEffect("paint"));
    effect->AddController(makeController(new ColorAnimationController()).Get());
    effect->Animate(0.0);
    EXPECT_TRUE(Near(effect->GetColor(), expected));

    Ref<Light> light(new Light(Light::kPoint, "lamp"));
    light->AddController(makeController(new DiffuseLightAnimationController()).Get());
    light->Update(0.0);
    EXPECT_TRUE(Near(light->diffuse, expected));
    EXPECT_EQ(light->ambient, (Color{0, 0, 0, 1}));
    light->RemoveAllControllers();
    light->AddController(makeController(new AmbientLightAnimationController()).Get());
    light->Update(0.0);
    EXPECT_TRUE(Near(light->ambient, expected));
    light->RemoveAllControllers();
    light->AddController(makeController(new SpecularLightAnimationController()).Get());
    light->Update(0.0);
    EXPECT_TRUE(Near(light->specular, expected));

    Ref<Flare> flare(new Flare("glow"));
    flare->AddController(makeController(new FlareColorController()).Get());
    flare->Update(0.0);
    EXPECT_TRUE(Near(flare->GetColor(), expected));

    // On a light, the effect's colour controller changes nothing.
    Ref<Light> other(new Light(Light::kPoint, "other"));
    other->AddController(makeController(new ColorAnimationController()).Get());
    other->AddController(makeController(new FlareColorController()).Get());
    other->Update(0.0);
    EXPECT_EQ(other->diffuse, (Color{0, 0, 0, 1}));
}

TEST(FlareSizeController, BlendsTheSizeAndStoresNoNegativeOne) {
    Ref<FloatAnimation> sizes = test::FloatKeys("sizes", {{0.0, 2.0f}, {0.5, -6.0f}});
    Ref<FlareSizeController> controller(new FlareSizeController());
    controller->SetPeriod(1.0);
    controller->AddFrame(Frame(sizes.Get(), 0.0, 1.0));
    Ref<Flare> flare(new Flare("glow"));
    flare->AddController(controller.Get());
    controller->SetPhase(0.0625);  // an eighth of the way: 1
    flare->Update(0.0);
    EXPECT_NEAR(flare->GetSize(), 1.0f, 1e-6f);
    controller->SetPhase(0.375);  // three quarters of the way: -4
    flare->Update(0.0);
    EXPECT_EQ(flare->GetSize(), 0.0f);
}

TEST(TextureAnimationController, TheLastStageWhoseTextureDiffersFromTheEffectsWins) {
    Ref<Texture> start(new Texture("start")), stone(new Texture("stone")), brick(new Texture("brick"));
    auto textures = [](std::initializer_list<std::pair<double, Texture*>> keys) {
        Ref<TextureAnimation> animation(new TextureAnimation());
        for (const auto& [time, texture] : keys) {
            auto* key = new TextureKeyframe();
            key->time = time;
            key->texture = texture;
            animation->AddKey(key);
        }
        return animation;
    };
    Ref<TextureAnimation> cycle = textures({{0.0, stone.Get()}, {0.5, brick.Get()}});
    Ref<TextureAnimation> keep = textures({{0.0, start.Get()}});
    Ref<TextureAnimationController> controller(new TextureAnimationController());
    controller->SetPeriod(1.0);
    controller->AddFrame(Frame(cycle.Get(), 0.0, 0.6));
    controller->AddFrame(Frame(keep.Get(), 0.4, 1.0));
    Ref<TextureEffect> effect(new TextureEffect("surface"));
    effect->SetTexture(start.Get());
    effect->AddController(controller.Get());

    controller->SetPhase(0.2);  // the cycle alone, on its first key
    effect->Animate(0.0);
    EXPECT_EQ(effect->GetTexture(), stone.Get());
    controller->SetPhase(0.25);  // still the first key (no interpolation)
    effect->Animate(0.0);
    EXPECT_EQ(effect->GetTexture(), stone.Get());
    // Both frames: the cycle's key differs from what the effect had, the
    // second stage's does not, so the cycle's stays.
    effect->SetTexture(start.Get());
    controller->SetPhase(0.5);
    effect->Animate(0.0);
    EXPECT_EQ(effect->GetTexture(), brick.Get());
}

}  // namespace
}  // namespace zav
