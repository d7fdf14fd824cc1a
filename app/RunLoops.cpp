// The two loops of a run: frames as fast as the device presents them, or the
// preview that waits for messages.
#include "app/MainLoop.h"
#include "app/PreviewWindow.h"
#include "app/ScreensaverApp.h"
#include "engine/core/Result.h"
#include "engine/render/Renderer.h"

namespace zav {

namespace {

// How often the preview checks that the window it shows in still exists.
constexpr UINT kParentCheckMs = 1000;

}  // namespace

// The application's frame steps as the frame loop sees them.
class AppFrameSteps : public FrameSteps {
public:
    explicit AppFrameSteps(ScreensaverApp& app) : app_(app) {}
    bool IsRunning() const override { return app_.IsRunning(); }
    int Update(double seconds) override { return app_.Update(seconds); }
    int Render() override { return app_.Render(); }
    int DrawOverlays() override { return app_.DrawOverlays(); }

private:
    ScreensaverApp& app_;
};

int ScreensaverApp::RunMainLoop() {
    AppFrameSteps steps(*this);
    return RunFrameLoop(steps, timer_, fpsCounter_, GetRenderer());
}

int ScreensaverApp::RunPreviewLoop() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
    SetPreviewWaiting(true);
    PostMessageW(dialogWindow_, WM_USER, 0, 0);
    SetTimer(dialogWindow_, kPreviewParentTimer, kParentCheckMs, nullptr);
    MSG message;
    while (IsPreviewWaiting() && running_) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop below
            break;
        }
        if (got < 0) return kOk;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // Nothing moves in the preview: sleep until the next message.
    while (running_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return kOk;
}

}  // namespace zav
