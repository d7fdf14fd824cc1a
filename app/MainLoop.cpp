#include "app/MainLoop.h"

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/input/InputManager.h"
#include "engine/platform/Platform.h"
#include "engine/render/Renderer.h"

namespace zav {

namespace {

// While the device is lost nothing can be drawn; the loop keeps handling
// input at this pace instead of spinning.
constexpr uint32_t kLostDevicePauseMs = 50;

}  // namespace

int RunFrameLoop(FrameSteps& steps, Timer& timer, FpsCounter& fpsCounter, Renderer* renderer) {
    timer.Reset();
    timer.Start();
    while (steps.IsRunning()) {
        if (ProcessInput() != kOk) {
            LogError("Неудачна обработка ввода.");
            return kFailed;
        }
        double seconds = timer.Tick();
        fpsCounter.Frame();
        if (steps.Update(seconds) != kOk) {
            LogError("Неудачно обновление сцены.");
            return kFailed;
        }
        if (renderer) renderer->Clear(kClearColor | kClearDepth, Color{0.0f, 0.0f, 0.0f, 1.0f}, 1.0f, 0);
        if (!renderer || renderer->BeginRender() != kOk) {
            if (renderer && renderer->IsDeviceLost()) {
                platform::SleepMilliseconds(kLostDevicePauseMs);
                continue;
            }
            LogError("Неудачно начало рендеринга.");
            return kFailed;
        }
        if (steps.Render() != kOk) {
            LogError("Неудачен рендеринг.");
            return kFailed;
        }
        steps.DrawOverlays();
        renderer->EndRender();
    }
    return kOk;
}

}  // namespace zav
