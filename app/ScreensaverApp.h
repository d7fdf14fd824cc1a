#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

#include "app/CommandLine.h"
#include "app/DisplayModeList.h"
#include "app/MonitorCovers.h"
#include "app/ScreenOverlays.h"
#include "app/Settings.h"
#include "app/Timer.h"
#include "engine/core/String.h"
#include "engine/input/InputHandler.h"

namespace zav {

// The screensaver's life: Create selects the mode, loads the settings and
// starts what the mode needs; Run runs the mode; Shutdown undoes what Create
// did. Subclasses fill in the content (which scene, how to draw it).
class ScreensaverApp : public InputHandler {
public:
    ScreensaverApp();
    ~ScreensaverApp() override;

    int Create();
    int Run();
    int Shutdown();

    // Ends the run: decides from an event whether the run is over, then
    // hands it to OnInputEventExtra.
    int OnInputEvent(const InputEvent& event) override;

    // Settings store.
    int LoadResourceCopy(int id, char** bytes, size_t* length);
    int LoadDefaultSettings();
    int ApplyDefaults();
    int ReadRegistrySettings();
    int WriteRegistrySettings();
    int LogSettings();
    int LoadUiStrings();
    const String* GetUiString(const String& key) const;
    // The UI string of `key`, or `fallback` when the strings have none.
    String GetUiStringOr(const char* key, const char* fallback) const;

    int32_t GetMode() const { return mode_; }
    HWND GetParentWindow() const { return parentWindow_; }
    bool IsRunning() const { return running_ != 0; }
    void StopRunning() { running_ = 0; }
    HWND GetPreviewWindow() const { return dialogWindow_; }
    // The settings dialog while it is open (the preview window in preview mode).
    HWND GetDialogWindow() const { return dialogWindow_; }
    const FpsCounter& GetFpsCounter() const { return fpsCounter_; }
    const ScreenOverlays& GetOverlays() const { return overlays_; }
    const SettingsValues& GetSettings() const { return current_; }
    SettingsValues& GetSettings() { return current_; }
    const SettingsValues& GetDefaultSettings() const { return defaults_; }
    const String& GetRegistryPath() const { return registryPath_; }
    const String& GetSiteAddress() const { return siteAddress_; }

protected:
    virtual int OnInputEventExtra(const InputEvent& event) = 0;
    virtual int OnDefaultsApplied() = 0;
    virtual int OnSettingsLogged() = 0;
    virtual int ParseExtraSetting(const String& key, const String& value) = 0;
    virtual int ReadExtraSettings(HKEY key) = 0;
    virtual int WriteExtraSettings(HKEY key) = 0;
    virtual int SettingsDialogExtra(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void OnSettingsDialogRefreshed() = 0;
    virtual int OnEngineStarted() = 0;
    virtual int OnEngineStopping() = 0;
    virtual int Update(double seconds) = 0;
    virtual int Render() = 0;
    virtual int CreateVisualDataExtra() = 0;
    virtual int DeleteVisualDataExtra() = 0;
    virtual int CreateData() = 0;
    virtual int DeleteData() = 0;
    virtual int CacheData() = 0;

    int SelectMode();
    // Defaults from the settings resource, current values from the registry,
    // the settings log and the UI strings.
    int LoadSettings();
    int StartEngine();
    int StopEngine();

    // Windows, loops, visual data, dialog and sound of the run.
    int CreateWindows();
    int DeleteWindows();
    int CreateVisualData();
    int DeleteVisualData();
    int ShowLoadingScreen();
    // The frame rate and the clock as the settings ask, over the frame.
    int DrawOverlays();
    int RunMainLoop();
    int RunPreviewLoop();
    int CreatePreviewWindow();
    int CreateFullScreenWindow();
    // The settings dialog, modal, owned by parentWindow: its result (1 OK,
    // 2 Cancel), 0 or -1 when it could not be shown.
    INT_PTR ShowSettingsDialog();
    // Sets every control of the settings dialog from the current settings
    // and fills the display-mode list.
    void RefreshSettingsDialog(HWND dialog);
    void SetMasterVolume(int32_t volume);

    int32_t mode_ = kModeConfigure;
    HINSTANCE instance_ = nullptr;
    HWND parentWindow_ = nullptr;

    String registryPath_;
    String siteAddress_;
    SettingsValues defaults_;
    SettingsValues current_;

    UiStringTable uiStrings_;
    HWND dialogWindow_ = nullptr;
    // The settings dialog's display-mode list while it is open.
    DisplayModeList dialogModes_;
    uint8_t running_ = 0;
    // Black windows over the other monitors while the scene runs.
    MonitorCovers monitorCovers_;
    Timer timer_;
    FpsCounter fpsCounter_;
    // The visual data: what the loading screen, the overlays and the veil
    // are drawn with.
    ScreenOverlays overlays_;

private:
    friend class AppFrameSteps;

    static INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnSettingsDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    // A command of the settings dialog; true when the dialog ended.
    bool OnSettingsCommand(HWND dialog, int control);
    // Takes a trackbar's position into its setting.
    void ReadTrackbar(HWND dialog, int control);

    int StartEngineWithArchives(const char* const* codecs, int codecCount, bool mountMedia,
                                bool registerInput);
    bool screensaverFlagSet_ = false;
};

// The one application object, from construction to destruction.
extern ScreensaverApp* theApp;

}  // namespace zav
