// Runs the screensaver's own window, device, input and loop code with an
// empty scene. The media archives cannot be mounted in this build yet, so the
// real screensaver stops before its window opens; this program starts the
// engine without them and otherwise goes the same way, for end-to-end tests
// and screenshots. Same command line as the screensaver (/s, /t, /p WINDOW);
// it logs to the screensaver's log file and prints "loop running" once its
// loop runs. ZAV_PROBE_SECONDS (default 60) bounds a run that no input ends.
//
// Exit code: the run's result (0 when input or the window ended it), 2 when
// the window could not be created, 3 when the time ran out.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "app/LogFile.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/input/InputManager.h"
#include "engine/render/Renderer.h"
#include "tests/win/EmptyScreensaver.h"

namespace zav {
namespace {

bool gTimeRanOut = false;

void AnnounceLoop() {
    std::printf("loop running\n");
    std::fflush(stdout);
}

class ProbeScreensaver : public test::EmptyScreensaver {
public:
    explicit ProbeScreensaver(double seconds) : limitSeconds_(seconds) {}

    // Create without the archives: settings, engine and renderer, input
    // handler, windows, brightness.
    int CreateWithoutArchives() {
        SelectMode();
        LogInfo("Режим скринсейвера %d.", mode_);
        if (LoadSettings() != kOk) return kFailed;
        bool fullRun = mode_ == kModeScreensaver || mode_ == kModeTest;
        if (EngineInit() != kOk || CreateRenderer("DirectX9") != kOk) return kFailed;
        if (fullRun && RegisterInputHandler(this) != kOk) return kFailed;
        if (CreateWindows() != kOk) {
            LogError("Невозможно создать окна скринсейвера.");
            return kFailed;
        }
        LogInfo("Окна скринсейвера созданы.");
        if (fullRun) GetRenderer()->SetBrightness(current_.Number(kGamma));
        running_ = 1;
        return kOk;
    }

    int RunWithLimit() {
        if (mode_ == kModePreview) {
            SetTimer(nullptr, 0, static_cast<UINT>(limitSeconds_ * 1000), &PreviewTimeUp);
            AnnounceLoop();
        }
        return Run();
    }

protected:
    int Update(double seconds) override {
        if (frames_++ == 0) AnnounceLoop();
        elapsed_ += seconds;
        if (elapsed_ > limitSeconds_) {
            gTimeRanOut = true;
            running_ = 0;
        }
        return kOk;
    }

private:
    static void CALLBACK PreviewTimeUp(HWND, UINT, UINT_PTR, DWORD) {
        gTimeRanOut = true;
        PostQuitMessage(0);
    }

    double limitSeconds_;
    double elapsed_ = 0.0;
};

int RunProbe() {
    const char* limit = std::getenv("ZAV_PROBE_SECONDS");
    double seconds = limit && *limit ? std::atof(limit) : 60.0;
    Ref<FileMessageOutput> log = OpenLogFile();
    Ref<ProbeScreensaver> app(new ProbeScreensaver(seconds));
    int exitCode = 2;
    if (app->CreateWithoutArchives() == kOk) {
        exitCode = app->RunWithLimit() == kOk ? 0 : 1;
        LogInfo("%s", exitCode == 0 ? "Работа скринсейвера завершена корректно."
                                    : "Работа скринсейвера завершена некорректно.");
    }
    if (app->Shutdown() != kOk) exitCode = exitCode ? exitCode : 1;
    ShowCursor(TRUE);
    app = nullptr;
    LogInfo("Конец лога.");
    if (gTimeRanOut) exitCode = 3;
    std::printf("exit %d\n", exitCode);
    return exitCode;
}

}  // namespace
}  // namespace zav

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return zav::RunProbe(); }
