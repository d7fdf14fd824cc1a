#pragma once

#include "app/ScreensaverApp.h"

namespace zav {

// The screensaver that plays the scene file "Main.STR" from the media archive.
class SceneScreensaver : public ScreensaverApp {
public:
    SceneScreensaver() = default;
    ~SceneScreensaver() override = default;

protected:
    int OnInputEventExtra(const InputEvent&) override { return 0; }
    int OnDefaultsApplied() override { return 0; }
    int OnSettingsLogged() override { return 0; }
    int ParseExtraSetting(const String&, const String&) override { return 0; }
    int ReadExtraSettings(HKEY) override { return 0; }
    int WriteExtraSettings(HKEY) override { return 0; }
    int SettingsDialogExtra(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSettingsDialogRefreshed() override {}
    int OnEngineStarted() override { return 0; }
    int OnEngineStopping() override { return 0; }
    int Update(double seconds) override;
    int Render() override;
    int CreateVisualDataExtra() override;
    int DeleteVisualDataExtra() override;
    int CreateData() override;
    int DeleteData() override;
    int CacheData() override;
};

}  // namespace zav
