#pragma once

#include "app/ScreensaverApp.h"
#include "engine/core/Result.h"

namespace zav::test {

// The application object with nothing to show: every content step succeeds
// and does nothing, so the window, input, loop and settings code runs alone.
// Its protected steps are open to the test programs.
class EmptyScreensaver : public ScreensaverApp {
public:
    using ScreensaverApp::CreateWindows;
    using ScreensaverApp::DeleteWindows;
    using ScreensaverApp::LoadSettings;
    using ScreensaverApp::RunMainLoop;
    using ScreensaverApp::RunPreviewLoop;
    using ScreensaverApp::SelectMode;

    void SetMode(int32_t mode) { mode_ = mode; }
    void SetParentWindow(HWND window) { parentWindow_ = window; }
    void SetRegistryPath(const String& path) { registryPath_ = path; }
    void SetRunning() { running_ = 1; }
    SettingsValues& Current() { return current_; }
    int32_t Frames() const { return frames_; }
    // The run stops by itself once this many frames are counted (0: never).
    void SetFrameLimit(int32_t frames) { frameLimit_ = frames; }

protected:
    int Update(double) override {
        if (++frames_ == frameLimit_) running_ = 0;
        return kOk;
    }
    int Render() override { return kOk; }
    int OnInputEventExtra(const InputEvent&) override { return kOk; }
    int OnDefaultsApplied() override { return kOk; }
    int OnSettingsLogged() override { return kOk; }
    int ParseExtraSetting(const String&, const String&) override { return kOk; }
    int ReadExtraSettings(HKEY) override { return kOk; }
    int WriteExtraSettings(HKEY) override { return kOk; }
    int SettingsDialogExtra(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    void OnSettingsDialogRefreshed() override {}
    int OnEngineStarted() override { return kOk; }
    int OnEngineStopping() override { return kOk; }
    int CreateVisualDataExtra() override { return kOk; }
    int DeleteVisualDataExtra() override { return kOk; }
    int CreateData() override { return kOk; }
    int DeleteData() override { return kOk; }
    int CacheData() override { return kOk; }

    int32_t frames_ = 0;
    int32_t frameLimit_ = 0;
};

}  // namespace zav::test
