// Records of the animation controllers and the look-at controllers.
#include <gtest/gtest.h>

#include <string>

#include "engine/animation/CameraActivateAnimationController.h"
#include "engine/animation/ColorAnimationControllers.h"
#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/SkeletonAnimationController.h"
#include "engine/animation/SoundNodeAnimationController.h"
#include "engine/animation/TargetControllers.h"
#include "engine/animation/TextureAnimationController.h"
#include "engine/render/Texture.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"
#include "tests/animation/AnimationTestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

using test::Frame;
using test::Int32Bytes;
using test::LoadFromBytes;
using test::RecordHeader;
using test::RoundTrip;
using test::SaveToBytes;

class ControllerRecords : public test::EngineFixture {
protected:
    // The opening of a controller record: header, a nameless Object record
    // and the active flag.
    static std::string Opening(const std::string& typeName) {
        return RecordHeader(0, typeName) + test::EmptyObjectRecord() + std::string(1, '\1');
    }
    // `object`'s record as the second object of a stream.
    static std::string Nested(Object* object) { return SaveToBytes(object).replace(0, 4, Int32Bytes(1)); }
    // Loads `bytes`, which must fail, and returns the log's lines.
    static std::vector<std::string> Refused(const std::string& bytes) {
        test::LogCapture capture;
        int state = kOk;
        EXPECT_FALSE(LoadFromBytes(bytes, &state));
        EXPECT_NE(state, kOk);
        return capture.Texts();
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& prefix) {
        for (const std::string& line : lines)
            if (line.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    }
};

TEST_F(ControllerRecords, AnAnimationControllerKeepsItsAnimationsFramesAndPeriod) {
    Ref<NodeAnimation> walk = test::MoveAnimation("walk", {{0.0, {1, 0, 0}}});
    Ref<NodeAnimation> run = test::MoveAnimation("run", {{0.5, {2, 0, 0}}});
    Ref<NodeAnimationController> controller(new NodeAnimationController("legs"));
    controller->SetActive(false);
    controller->AddAnimation(walk.Get());
    controller->AddAnimation(run.Get());
    controller->AddFrame(Frame(walk.Get(), 0.0, 0.6, AnimationFrame::kPingPong, 2.0, 0.25));
    controller->AddFrame(Frame(nullptr, 0.4, 1.0, AnimationFrame::kClamp));
    controller->SetPeriod(3.5);
    controller->SetPhase(0.7);  // not stored
    controller->SetStage(walk.Get(), 0, 0.5f);

    Ref<NodeAnimationController> copy = RoundTrip(controller.Get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetName(), "legs");
    EXPECT_FALSE(copy->IsActive());
    ASSERT_EQ(copy->GetAnimationCount(), 2);
    EXPECT_EQ(copy->GetAnimation(1)->GetName(), "run");
    ASSERT_EQ(copy->GetFrameCount(), 2);
    const AnimationFrame& first = copy->GetFrame(0);
    EXPECT_EQ(first.animation.Get(), copy->GetAnimation(0));  // the same object again
    EXPECT_EQ(first.mode, AnimationFrame::kPingPong);
    EXPECT_EQ(first.start, 0.0);
    EXPECT_EQ(first.end, 0.6);
    EXPECT_EQ(first.speed, 2.0);
    EXPECT_EQ(first.offset, 0.25);
    EXPECT_EQ(copy->GetFrame(1).animation.Get(), nullptr);
    EXPECT_EQ(copy->GetFrame(1).mode, AnimationFrame::kClamp);
    EXPECT_EQ(copy->GetPeriod(), 3.5);
    EXPECT_EQ(copy->GetPhase(), 0.0);
    EXPECT_EQ(copy->GetStageCount(), 0);
}

TEST_F(ControllerRecords, EveryConcreteControllerIsCreatedFromItsRecord) {
    Ref<AnimationController> controllers[] = {
        new NodeAnimationController("a"),
        new ColorAnimationController("b"),
        new DiffuseLightAnimationController("c"),
        new AmbientLightAnimationController("d"),
        new SpecularLightAnimationController("e"),
        new FlareColorController("f"),
        new FlareSizeController("g"),
        new TextureAnimationController("h"),
        new SoundNodeAnimationController("i"),
        new CameraActivateAnimationController("j"),
        new SkeletonAnimationController("k"),
    };
    for (const Ref<AnimationController>& controller : controllers) {
        controller->SetPeriod(1.25);
        Ref<AnimationController> copy = RoundTrip(controller.Get());
        ASSERT_TRUE(copy) << controller->GetType()->GetName().CStr();
        EXPECT_EQ(copy->GetType(), controller->GetType());
        EXPECT_EQ(copy->GetPeriod(), 1.25);
    }
    for (const char* abstract : {"ZAV.AnimationController", "ZAV.Animation"}) {
        test::LogCapture capture;
        EXPECT_FALSE(LoadFromBytes(Opening(abstract) + Int32Bytes(0) + Int32Bytes(0) + std::string(8, '\0')));
    }
}

TEST_F(ControllerRecords, CameraActivationAndSkeletonKeepTheControllersTheyDrive) {
    Ref<NodeAnimationController> fly(new NodeAnimationController("fly"));
    Ref<NodeAnimationController> aim(new NodeAnimationController("aim"));
    Ref<NodeAnimationController> prop(new NodeAnimationController("prop"));
    Ref<CameraActivateAnimationController> activate(new CameraActivateAnimationController("activate"));
    activate->SetCameraController(fly.Get());
    activate->SetTargetController(aim.Get());
    activate->AddSwitched(prop.Get());
    activate->AddSwitched(fly.Get());
    Ref<CameraActivateAnimationController> copy = RoundTrip(activate.Get());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->GetCameraController()->GetName(), "fly");
    EXPECT_EQ(copy->GetTargetController()->GetName(), "aim");
    ASSERT_EQ(copy->GetSwitchedCount(), 2);
    EXPECT_EQ(copy->GetSwitched(0)->GetName(), "prop");
    EXPECT_EQ(copy->GetSwitched(1), copy->GetCameraController());

    Ref<SkeletonAnimationController> skeleton(new SkeletonAnimationController("skeleton"));
    skeleton->AddBoneController(prop.Get());
    skeleton->AddBoneController(activate.Get());
    Ref<SkeletonAnimationController> skeletonCopy = RoundTrip(skeleton.Get());
    ASSERT_TRUE(skeletonCopy);
    ASSERT_EQ(skeletonCopy->GetBoneControllerCount(), 2);
    EXPECT_EQ(skeletonCopy->GetBoneController(0)->GetName(), "prop");
    EXPECT_TRUE(ObjectCast<CameraActivateAnimationController>(skeletonCopy->GetBoneController(1)));
}

TEST_F(ControllerRecords, TargetControllersKeepTheirTarget) {
    Ref<SceneNode> target(new SceneNode("target"));
    Ref<TargetCameraController> camera(new TargetCameraController("look"));
    camera->SetTarget(target.Get());
    Ref<TargetCameraController> cameraCopy = RoundTrip(camera.Get());
    ASSERT_TRUE(cameraCopy && cameraCopy->GetTarget());
    EXPECT_EQ(cameraCopy->GetTarget()->GetName(), "target");
    Ref<TargetLightController> light(new TargetLightController("aim"));
    Ref<TargetLightController> lightCopy = RoundTrip(light.Get());
    ASSERT_TRUE(lightCopy);
    EXPECT_EQ(lightCopy->GetTarget(), nullptr);
    EXPECT_EQ(lightCopy->GetType()->GetParent(), &Controller::StaticType());
}

TEST_F(ControllerRecords, CountsTheRecordCannotHoldAreRefused) {
    const std::string track = Opening("ZAV.NodeAnimationController");
    // Each count is larger than what follows can hold (four bytes a
    // reference, forty a frame).
    EXPECT_TRUE(
        Has(Refused(track + Int32Bytes(3) + std::string(11, '\0')), "Невозможно загрузить количество анимаций. ID["));
    EXPECT_TRUE(Has(Refused(track + Int32Bytes(-1)), "Невозможно загрузить количество анимаций. ID["));
    EXPECT_TRUE(Has(Refused(track + Int32Bytes(0) + Int32Bytes(2) + std::string(79, '\0')),
                    "Невозможно загрузить количество фреймов анимаций. ID["));
    const std::string tail = Int32Bytes(0) + Int32Bytes(0) + std::string(8, '\0');  // no animations, frames
    EXPECT_TRUE(Has(Refused(Opening("ZAV.CameraActivateAnimationController") + tail + Int32Bytes(-1) + Int32Bytes(-1) +
                            Int32Bytes(0x10000000)),
                    "Невозможно загрузить количество контроллеров анимации. ID["));
    EXPECT_TRUE(Has(Refused(Opening("ZAV.SkeletonAnimationController") + tail + Int32Bytes(2) + Int32Bytes(-1)),
                    "Невозможно загрузить количество контроллеров анимации костей. ID["));
    // The period missing at the end.
    EXPECT_TRUE(Has(Refused(track + Int32Bytes(0) + Int32Bytes(0) + std::string(7, '\0')),
                    "Невозможно загрузить период трэка. ID["));
}

TEST_F(ControllerRecords, EveryReferenceMustBeOfItsClass) {
    Ref<Camera> camera(new Camera("camera"));
    const std::string track = Opening("ZAV.NodeAnimationController");
    std::vector<std::string> lines = Refused(track + Int32Bytes(1) + Nested(camera.Get()));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить анимацию. Имя[] ID["));

    lines = Refused(track + Int32Bytes(0) + Int32Bytes(1) + Nested(camera.Get()) + std::string(44, '\0'));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить анимацию фрейма анимации."));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить фрейм анимаций. Имя[] ID["));

    const std::string tail = Int32Bytes(0) + Int32Bytes(0) + std::string(8, '\0');
    Ref<TargetCameraController> look(new TargetCameraController("look"));
    lines = Refused(Opening("ZAV.CameraActivateAnimationController") + tail + Nested(look.Get()));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить контроллер анимации камеры. ID["));
    lines = Refused(Opening("ZAV.CameraActivateAnimationController") + tail + Int32Bytes(-1) + Nested(look.Get()));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить контроллер анимации цели камеры. ID["));
    lines = Refused(Opening("ZAV.CameraActivateAnimationController") + tail + Int32Bytes(-1) + Int32Bytes(-1) +
                    Int32Bytes(1) + Nested(look.Get()));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить контроллер анимации. ID["));
    lines = Refused(Opening("ZAV.SkeletonAnimationController") + tail + Int32Bytes(1) + Nested(camera.Get()));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить контроллер анимации костей. Имя[] ID["));

    Ref<Texture> texture(new Texture("texture"));
    lines = Refused(Opening("ZAV.TargetCameraController") + Nested(texture.Get()));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить цель камеры. ID["));
    lines = Refused(Opening("ZAV.TargetLightController") + Nested(texture.Get()));
    EXPECT_TRUE(Has(lines, "Невозможно загрузить цель источника света. ID["));
}

TEST_F(ControllerRecords, EveryCutOffRecordFailsCleanly) {
    Ref<NodeAnimation> walk = test::MoveAnimation("walk", {{0.0, {1, 0, 0}}, {0.5, {2, 0, 0}}});
    Ref<NodeAnimationController> fly(new NodeAnimationController("fly"));
    fly->AddAnimation(walk.Get());
    fly->AddFrame(Frame(walk.Get(), 0.0, 1.0));
    Ref<CameraActivateAnimationController> activate(new CameraActivateAnimationController("activate"));
    activate->SetCameraController(fly.Get());
    activate->AddSwitched(fly.Get());
    Ref<SkeletonAnimationController> skeleton(new SkeletonAnimationController("skeleton"));
    skeleton->AddBoneController(activate.Get());
    Ref<TargetCameraController> look(new TargetCameraController("look"));
    look->SetTarget(Ref<SceneNode>(new SceneNode("target")).Get());
    for (Object* object : std::initializer_list<Object*>{skeleton.Get(), look.Get()}) {
        const std::string bytes = SaveToBytes(object);
        ASSERT_TRUE(LoadFromBytes(bytes));
        for (size_t length = 0; length < bytes.size(); ++length) {
            test::LogCapture capture;
            int state = kOk;
            EXPECT_FALSE(LoadFromBytes(bytes.substr(0, length), &state)) << length;
            EXPECT_NE(state, kOk);
        }
    }
}

}  // namespace
}  // namespace zav
