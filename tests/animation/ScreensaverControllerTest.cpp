#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <vector>

#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/ScreensaverController.h"
#include "engine/animation/TargetControllers.h"
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

// A camera flown by a node animation controller of `period` seconds.
Ref<Camera> FlownCamera(const char* name, double period, NodeAnimationController** flight = nullptr) {
    Ref<Camera> camera(new Camera(name));
    Ref<NodeAnimationController> controller(new NodeAnimationController(std::string(name).append(" flight").c_str()));
    controller->SetPeriod(period);
    controller->AddFrame(Frame(test::MoveAnimation("path", {{0.0, {0, 0, 0}}, {0.5, {10, 0, 0}}}).Get(), 0.0, 1.0));
    EXPECT_EQ(camera->AddController(controller.Get()), kOk);
    if (flight) *flight = controller.Get();
    return camera;
}

class Screensaver : public ::testing::Test {
protected:
    // A controller with `count` sets of plain cameras lasting `duration`.
    Ref<ScreensaverController> WithSets(int count, double duration = 5.0) {
        Ref<ScreensaverController> controller(new ScreensaverController("shots"));
        for (int i = 0; i < count; ++i) {
            cameras_.emplace_back(new Camera("camera"));
            EXPECT_EQ(controller->AddSet(cameras_.back().Get(), 0.0, duration), kOk);
        }
        return controller;
    }

    test::CurrentNullRenderer renderer_;
    std::vector<Ref<Camera>> cameras_;
};

TEST_F(Screensaver, OneSetIsAlwaysChosenAgainAndItsAnimationRestarts) {
    NodeAnimationController* flight = nullptr;
    Ref<Camera> camera = FlownCamera("only", 2.0, &flight);
    Ref<ScreensaverController> controller(new ScreensaverController());
    controller->AddSet(camera.Get(), 0.0, 9.0);
    controller->Reset();
    ASSERT_EQ(controller->GetCurrentSet(), 0);
    EXPECT_EQ(renderer_->GetCamera(), camera.Get());
    EXPECT_EQ(controller->GetSet(0).cameraController.Get(), flight);
    EXPECT_EQ(controller->GetSet(0).duration, 2.0);  // the flight's period, not the stored 9 s
    flight->SetPhase(0.9);
    controller->Update(2.5);
    EXPECT_EQ(controller->GetCurrentSet(), 0);
    EXPECT_DOUBLE_EQ(controller->GetElapsed(), 0.5);
    // Restarted and moved back, so that this frame's advance leaves it 0.5 s in.
    flight->Update(2.5);
    EXPECT_NEAR(flight->GetPhase(), 0.25, 1e-12);
}

TEST_F(Screensaver, TwoOrThreeSetsMayFollowThemselves) {
    for (int count : {2, 3}) {
        // The draws the controller makes: the history of one entry, then a
        // set a draw, none refused.
        std::srand(11);
        std::rand();
        std::vector<int> chosen, expected;
        for (int i = 0; i < 200; ++i) expected.push_back(std::rand() % count);
        Ref<ScreensaverController> controller = WithSets(count);
        std::srand(11);
        controller->ChooseNextSet();
        for (int i = 0; i < 200; ++i) {
            chosen.push_back(controller->GetCurrentSet());
            controller->Update(5.0);
        }
        EXPECT_EQ(chosen, expected);
        EXPECT_EQ(controller->GetHistory().size(), 1u);
        EXPECT_EQ(controller->GetHistory().back(), controller->GetCurrentSet());
        bool repeated = false;
        for (size_t i = 1; i < chosen.size(); ++i) repeated = repeated || chosen[i] == chosen[i - 1];
        EXPECT_TRUE(repeated);
    }
}

TEST_F(Screensaver, EightSetsAvoidTheLastFourChosen) {
    Ref<ScreensaverController> controller = WithSets(8);
    std::srand(5);
    controller->Reset();
    std::vector<int32_t> history = controller->GetHistory();
    ASSERT_EQ(history.size(), 4u);
    EXPECT_EQ(history.back(), controller->GetCurrentSet());
    std::vector<int> seen(8, 0);
    for (int i = 0; i < 500; ++i) {
        const std::vector<int32_t> before = controller->GetHistory();
        controller->Update(5.0);
        const int32_t set = controller->GetCurrentSet();
        ASSERT_GE(set, 0);
        EXPECT_EQ(std::count(before.begin(), before.end(), set), 0) << "shot " << i;
        std::vector<int32_t> after(before.begin() + 1, before.end());
        after.push_back(set);
        EXPECT_EQ(controller->GetHistory(), after);
        ++seen[set];
        EXPECT_EQ(renderer_->GetCamera(), cameras_[set].Get());
    }
    for (int set = 0; set < 8; ++set) EXPECT_GT(seen[set], 0) << set;
}

TEST_F(Screensaver, TheShotLastsAsLongAsTheShorterOfItsControllersPeriods) {
    NodeAnimationController* flight = nullptr;
    Ref<Camera> camera = FlownCamera("flown", 20.0, &flight);
    Ref<SceneNode> target(new SceneNode("target"));
    Ref<NodeAnimationController> aim(new NodeAnimationController("aim"));
    aim->SetPeriod(15.0);
    target->AddController(aim.Get());
    Ref<TargetCameraController> look(new TargetCameraController("look"));
    look->SetTarget(target.Get());
    camera->AddController(look.Get());
    Ref<ScreensaverController> controller(new ScreensaverController());
    controller->AddSet(camera.Get(), 1.0, 30.0);
    EXPECT_EQ(controller->GetSet(0).targetController.Get(), aim.Get());
    controller->Reset();
    EXPECT_EQ(controller->GetSet(0).duration, 15.0);
    aim->SetPeriod(25.0);
    controller->Reset();
    EXPECT_EQ(controller->GetSet(0).duration, 20.0);
    // A camera without animation controllers keeps the stored length.
    Ref<ScreensaverController> plain = WithSets(1, 7.0);
    plain->Reset();
    EXPECT_EQ(plain->GetSet(0).duration, 7.0);
}

TEST_F(Screensaver, ALengthThatIsNoPositiveNumberFallsBackSoThatAShotAlwaysLasts) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    NodeAnimationController* flight = nullptr;
    Ref<Camera> camera = FlownCamera("flown", 0.0, &flight);
    Ref<ScreensaverController> controller(new ScreensaverController());
    controller->AddSet(camera.Get(), 0.0, 6.0);
    controller->Reset();
    EXPECT_EQ(controller->GetSet(0).duration, 6.0);  // period 0: the stored length
    for (double period : {-3.0, nan}) {
        flight->SetPeriod(period);
        controller->Reset();
        EXPECT_EQ(controller->GetSet(0).duration, 6.0);
    }
    for (double stored : {0.0, -1.0, nan}) {
        Ref<ScreensaverController> plain = WithSets(1, stored);
        plain->Reset();
        EXPECT_EQ(plain->GetSet(0).duration, 1.0);
        plain->Update(0.5);
        EXPECT_EQ(plain->GetElapsed(), 0.5);
        plain->Update(0.75);
        EXPECT_EQ(plain->GetElapsed(), 0.25);
    }
}

TEST_F(Screensaver, TheOvershootCarriesIntoTheNextShot) {
    // The controller on the root runs before the camera below it.
    Ref<SceneNode> root(new SceneNode("root"));
    NodeAnimationController* flight = nullptr;
    Ref<Camera> camera = FlownCamera("flown", 2.0, &flight);
    root->AddChild(camera.Get());
    Ref<ScreensaverController> controller(new ScreensaverController());
    controller->AddSet(camera.Get(), 0.0, 2.0);
    root->AddController(controller.Get());
    controller->Reset();
    for (int i = 0; i < 19; ++i) root->UpdateSubtree(0.1, true);
    ASSERT_NEAR(controller->GetElapsed(), 1.9, 1e-9);
    root->UpdateSubtree(0.3, true);
    EXPECT_NEAR(controller->GetElapsed(), 0.2, 1e-9);
    EXPECT_NEAR(flight->GetPhase(), 0.1, 1e-9);  // 0.2 s into its 2 s path
    EXPECT_NEAR(camera->GetLocalTransform().translation.x, 2.0f, 1e-4f);
}

TEST_F(Screensaver, WhileInactiveTheShotNeverEnds) {
    Ref<ScreensaverController> controller = WithSets(4, 1.0);
    controller->Reset();
    const int32_t set = controller->GetCurrentSet();
    controller->SetActive(false);
    controller->Update(10.0);
    EXPECT_EQ(controller->GetElapsed(), 0.0);
    EXPECT_EQ(controller->GetCurrentSet(), set);
}

TEST_F(Screensaver, SetsWithoutACameraAreNeverChosen) {
    Ref<ScreensaverController> controller(new ScreensaverController());
    for (int i = 0; i < 8; ++i) controller->AddSet(nullptr, 0.0, 1.0);
    controller->Reset();
    EXPECT_EQ(controller->GetCurrentSet(), -1);
    controller->Update(5.0);
    EXPECT_EQ(controller->GetCurrentSet(), -1);
    EXPECT_EQ(controller->GetElapsed(), 0.0);
    EXPECT_EQ(controller->GetFadeOpacity(), 0.0);

    // One camera among eight sets: it is shown every time, although the
    // history holds it.
    Ref<Camera> camera(new Camera("the one"));
    Ref<ScreensaverController> mixed(new ScreensaverController());
    for (int i = 0; i < 8; ++i) mixed->AddSet(i == 5 ? camera.Get() : nullptr, 0.0, 1.0);
    renderer_->SetCamera(nullptr);
    for (int i = 0; i < 20; ++i) {
        mixed->Update(1.0);
        if (i == 0) mixed->Reset();
        EXPECT_EQ(mixed->GetCurrentSet(), 5);
        EXPECT_EQ(renderer_->GetCamera(), camera.Get());
    }
    // Without any set the controller stays idle.
    Ref<ScreensaverController> empty(new ScreensaverController());
    empty->Reset();
    empty->Update(1.0);
    EXPECT_EQ(empty->GetCurrentSet(), -1);
}

TEST_F(Screensaver, TheControllersAreFoundAmongTheCamerasControllers) {
    Ref<Camera> camera(new Camera("camera"));
    Ref<SceneNode> target(new SceneNode("target"));
    Ref<NodeAnimationController> aimFirst(new NodeAnimationController("aim first"));
    Ref<NodeAnimationController> aimSecond(new NodeAnimationController("aim second"));
    Ref<TargetCameraController> other(new TargetCameraController("not an animation"));
    // Lists take new controllers at their head: these read first to last.
    target->AddController(aimSecond.Get());
    target->AddController(aimFirst.Get());
    target->AddController(other.Get());
    Ref<NodeAnimationController> flyFirst(new NodeAnimationController("fly first"));
    Ref<NodeAnimationController> flySecond(new NodeAnimationController("fly second"));
    Ref<TargetCameraController> look(new TargetCameraController("look"));
    look->SetTarget(target.Get());
    camera->AddController(flySecond.Get());
    camera->AddController(flyFirst.Get());
    camera->AddController(look.Get());
    Ref<ScreensaverController> controller(new ScreensaverController());
    controller->AddSet(camera.Get(), 0.0, 3.0);
    EXPECT_EQ(controller->GetSet(0).cameraController.Get(), flySecond.Get());  // the last one
    EXPECT_EQ(controller->GetSet(0).targetController.Get(), aimFirst.Get());   // the target's first
}

TEST_F(Screensaver, TheVeilFadesOutAtTheEndAndInAfterFadeStart) {
    Ref<ScreensaverController> shot(new ScreensaverController());
    Ref<Camera> camera(new Camera());
    shot->AddSet(camera.Get(), 2.0, 10.0);
    EXPECT_EQ(shot->GetFadeOpacity(), 0.0);  // no set yet
    shot->Reset();
    const std::vector<std::pair<double, double>> expected = {
        {0.5, 2.5},   // black until fadeStart
        {1.5, 1.5},   // still more than 1 before it
        {2.5, 0.5},   // fading in
        {3.5, 0.0},   // the middle of the shot
        {8.5, 0.0},   //
        {9.25, 0.25}  // the last second
    };
    double at = 0.0;
    for (const auto& [time, opacity] : expected) {
        shot->Update(time - at);
        at = time;
        EXPECT_NEAR(shot->GetFadeOpacity(), opacity, 1e-9) << time;
    }
}

class ScreensaverRecord : public test::EngineFixture {
protected:
    test::CurrentNullRenderer renderer_;
};

TEST_F(ScreensaverRecord, SetsRoundTripAndTheLoadedControllerShowsAShot) {
    Ref<SceneNode> root(new SceneNode("root"));
    Ref<Camera> first = FlownCamera("first", 4.0);
    Ref<Camera> second(new Camera("second"));
    root->AddChild(first.Get());
    root->AddChild(second.Get());
    Ref<ScreensaverController> controller(new ScreensaverController("shots"));
    controller->AddSet(first.Get(), 1.5, 12.0);
    controller->AddSet(second.Get(), 0.5, 8.0);
    root->AddController(controller.Get());
    controller->Reset();  // duration of the first becomes 4 s; 12 s is what is stored

    Ref<SceneNode> copy = test::RoundTrip(root.Get());
    ASSERT_TRUE(copy);
    auto* loaded = ObjectCast<ScreensaverController>(copy->GetController(0));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->GetSetCount(), 2);
    EXPECT_EQ(loaded->GetSet(0).camera.Get(), copy->FindObject("first"));
    EXPECT_EQ(loaded->GetSet(0).fadeStart, 1.5);
    EXPECT_EQ(loaded->GetSet(0).storedDuration, 12.0);
    EXPECT_TRUE(loaded->GetSet(0).cameraController);
    EXPECT_EQ(loaded->GetSet(1).camera.Get(), copy->FindObject("second"));
    EXPECT_EQ(loaded->GetSet(1).storedDuration, 8.0);
    EXPECT_FALSE(loaded->GetSet(1).cameraController);
    ASSERT_GE(loaded->GetCurrentSet(), 0);
    EXPECT_EQ(renderer_->GetCamera(), loaded->GetSet(loaded->GetCurrentSet()).camera.Get());
}

TEST_F(ScreensaverRecord, DamagedSetsAreRefusedWithTheirMessages) {
    const std::string opening = test::RecordHeader(0, "ZAV.ScreensaverController") + test::EmptyObjectRecord() + "\1";
    {
        test::LogCapture capture;
        EXPECT_FALSE(LoadFromBytes(opening + Int32Bytes(2) + std::string(39, '\0')));
        EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить количество сетов. ID["));
    }
    {
        Ref<SceneNode> notCamera(new SceneNode("node"));
        test::LogCapture capture;
        EXPECT_FALSE(LoadFromBytes(opening + Int32Bytes(1) +
                                   test::SaveToBytes(notCamera.Get()).replace(0, 4, Int32Bytes(1)) +
                                   std::string(16, '\0')));
        EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить камеру сета контроллера скринсейвера."));
        EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно загрузить сет. Имя[] ID["));
    }
    {
        Ref<Camera> camera(new Camera("camera"));
        test::LogCapture capture;
        const std::string set = test::SaveToBytes(camera.Get()).replace(0, 4, Int32Bytes(1));
        EXPECT_FALSE(LoadFromBytes(opening + Int32Bytes(1) + set + std::string(15, '\0')));
        EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить данные сета контроллера скринсейвера."));
    }
    {
        Ref<ScreensaverController> controller(new ScreensaverController("s"));
        controller->AddSet(nullptr, 0.0, 1.0);
        test::LogCapture capture;
        Stream noSet(4 + 1 + 4 + 1 + 4, 0);
        EXPECT_EQ(controller->Save(noSet), kFailed);
        EXPECT_TRUE(capture.Has(kLogError, "Невозможно сохранить камеру сета контроллера скринсейвера."));
        EXPECT_TRUE(capture.HasPrefix(kLogError, "Невозможно сохранить сет. Имя[s] ID["));
    }
}

}  // namespace
}  // namespace zav
