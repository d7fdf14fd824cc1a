#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainLoop.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/input/InputManager.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingRenderer.h"

namespace zav {
namespace {

uint64_t gNow = 0;
uint64_t FakeClock() { return gNow; }

// Runs `frameLimit` frames unless something stops it earlier; every step can
// be made to fail at a given frame.
class FakeSteps : public FrameSteps {
public:
    explicit FakeSteps(test::RecordingRenderer* renderer) : renderer_(renderer) {}
    bool IsRunning() const override { return running; }
    int Update(double seconds) override {
        ++updates;
        gNow += 20;  // every frame takes 20 ms
        renderer_->calls.push_back("Update");
        times.push_back(seconds);
        if (onUpdate) onUpdate(updates);
        if (updates >= frameLimit) running = false;
        return updates == failUpdateAt ? kFailed : kOk;
    }
    int Render() override {
        renderer_->calls.push_back("Render");
        return ++renders == failRenderAt ? kFailed : kOk;
    }
    // A failing overlay draw does not end the run.
    int DrawOverlays() override {
        renderer_->calls.push_back("DrawOverlays");
        return kFailed;
    }

    bool running = true;
    int updates = 0, renders = 0;
    int frameLimit = 3, failUpdateAt = -1, failRenderAt = -1;
    std::vector<double> times;
    void (*onUpdate)(int) = nullptr;

private:
    test::RecordingRenderer* renderer_;
};

class KeyStopsSteps : public InputHandler {
public:
    explicit KeyStopsSteps(FakeSteps* steps) : InputHandler("stopper"), steps_(steps) {}
    int OnInputEvent(const InputEvent& event) override {
        if (event.device == kDeviceKeyboard && event.action == kActionPressed) steps_->running = false;
        return kOk;
    }

private:
    FakeSteps* steps_;
};

class MainLoopTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitializeInputManager(), kOk); }
    void TearDown() override { ShutdownInputManager(); }

    int Run() {
        Timer timer(&FakeClock);
        FpsCounter fps(&FakeClock);
        return RunFrameLoop(steps, timer, fps, renderer.Get());
    }

    Ref<test::RecordingRenderer> renderer{new test::RecordingRenderer()};
    FakeSteps steps{renderer.Get()};
};

TEST_F(MainLoopTest, EachFrameUpdatesClearsBeginsRendersAndEnds) {
    EXPECT_EQ(Run(), kOk);
    std::vector<std::string> frame = {"Update", "Clear", "BeginFrame", "Render", "DrawOverlays", "EndFrame"};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(renderer->calls, expected);
    EXPECT_EQ(renderer->lastClearFlags, kClearColor | kClearDepth);
    EXPECT_EQ(renderer->lastClearColor.r, 0.0f);
    EXPECT_EQ(renderer->lastClearColor.a, 1.0f);
    ASSERT_EQ(steps.times.size(), 3u);
    EXPECT_DOUBLE_EQ(steps.times[0], 0.0);
    EXPECT_DOUBLE_EQ(steps.times[1], 0.02);
}

TEST_F(MainLoopTest, AQueuedKeyEndsTheRunAfterTheFrameItArrivedIn) {
    Ref<KeyStopsSteps> stopper(new KeyStopsSteps(&steps));
    RegisterInputHandler(stopper.Get());
    steps.frameLimit = 100;
    PostEvent(InputEvent{kDeviceKeyboard, kActionPressed, 49, 0});
    EXPECT_EQ(Run(), kOk);
    EXPECT_EQ(steps.updates, 1);
    EXPECT_EQ(steps.renders, 1);
}

TEST_F(MainLoopTest, FailingStepsEndTheRunWithTheirMessage) {
    test::LogCapture capture;
    steps.failUpdateAt = 2;
    EXPECT_EQ(Run(), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Неудачно обновление сцены."));
    EXPECT_EQ(steps.renders, 1);

    steps = FakeSteps(renderer.Get());
    steps.failRenderAt = 1;
    EXPECT_EQ(Run(), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Неудачен рендеринг."));

    steps = FakeSteps(renderer.Get());
    renderer->beginFrameResult = kFailed;
    EXPECT_EQ(Run(), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Неудачно начало рендеринга."));
    EXPECT_EQ(steps.renders, 0);
}

test::RecordingRenderer* gLosingRenderer = nullptr;

TEST_F(MainLoopTest, ALostDeviceSkipsFramesAndTheRunGoesOn) {
    gLosingRenderer = renderer.Get();
    steps.frameLimit = 5;
    // Frames 2 and 3 find the device lost.
    steps.onUpdate = [](int frame) {
        bool lost = frame == 2 || frame == 3;
        gLosingRenderer->deviceLost = lost;
        gLosingRenderer->beginFrameResult = lost ? kFailed : kOk;
    };
    test::LogCapture capture;
    EXPECT_EQ(Run(), kOk);
    EXPECT_EQ(steps.updates, 5);
    EXPECT_EQ(steps.renders, 3);
    EXPECT_FALSE(capture.Has(kLogError, "Неудачно начало рендеринга."));
    int endFrames = 0;
    for (const std::string& call : renderer->calls) endFrames += call == "EndFrame";
    EXPECT_EQ(endFrames, 3);
}

}  // namespace
}  // namespace zav
