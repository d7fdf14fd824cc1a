// The windows of a run: the preview window inside the display settings, or
// the full-screen window the renderer opens for its device with black
// windows over the other monitors.
#include "app/DisplayModeChoice.h"
#include "app/PreviewWindow.h"
#include "app/ScreensaverApp.h"
#include "app/WideText.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/render/Renderer.h"
#include "engine/sound/SoundManager.h"

namespace zav {

namespace {

String PreviewClassName(const ScreensaverApp& app) {
    return app.GetUiStringOr("AppName", "VORNHALTSTUDIO 3D SCREENSAVER APPLICATION");
}

}  // namespace

int ScreensaverApp::CreateWindows() {
    switch (mode_) {
        case kModePreview:
            return CreatePreviewWindow();
        case kModeScreensaver:
        case kModeTest:
            return CreateFullScreenWindow();
        default:
            return kOk;
    }
}

int ScreensaverApp::CreatePreviewWindow() {
    std::wstring className = ToWide(PreviewClassName(*this));
    WNDCLASSW windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = PreviewWindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = className.c_str();
    RegisterClassW(&windowClass);

    // Inside the settings page's window; without one, a small pop-up of its
    // own rather than a child of nothing.
    RECT rect = {100, 100, 150, 150};
    DWORD style = WS_POPUP | WS_VISIBLE;
    if (parentWindow_) {
        GetClientRect(parentWindow_, &rect);
        style = WS_CHILD | WS_VISIBLE;
    }
    AdjustWindowRect(&rect, style, FALSE);
    dialogWindow_ = CreateWindowExW(0, className.c_str(), className.c_str(), style, rect.left, rect.top,
                                    rect.right - rect.left, rect.bottom - rect.top, parentWindow_, nullptr,
                                    instance_, nullptr);
    if (!dialogWindow_) {
        UnregisterClassW(className.c_str(), instance_);
        return kFailed;
    }
    return kOk;
}

int ScreensaverApp::CreateFullScreenWindow() {
    Renderer* renderer = GetRenderer();
    int32_t mode = renderer ? ChooseDisplayMode(renderer->GetModes(), renderer->GetDefaultMode(), current_) : -1;
    if (mode < 0) {
        LogError("Невозможно найти подходящий видео режим.");
        return kFailed;
    }
    String title = GetUiStringOr("AppName", "3D SCREENSAVER");
    int opened = renderer->OpenWindow(mode, title, parentWindow_, 0, 0, 640, 480);
    int32_t desktopMode = renderer->GetDefaultMode();
    if (opened != kOk && desktopMode >= 0 && mode != desktopMode) {
        LogWarning("Видео режим %dx%d недоступен, используются настройки рабочего стола.",
                   renderer->GetModes()[static_cast<size_t>(mode)].width,
                   renderer->GetModes()[static_cast<size_t>(mode)].height);
        opened = renderer->OpenWindow(desktopMode, title, parentWindow_, 0, 0, 640, 480);
    }
    if (opened != kOk) {
        LogError("Невозможно создать окно выбранного режима.");
        return kFailed;
    }
    // The scene runs on the primary monitor; nothing of the desktop shows
    // on the others either.
    if (monitorCovers_.Open(ListMonitors(), static_cast<HWND>(renderer->GetWindow()), title) != kOk)
        LogWarning("Не все мониторы закрыты, работа продолжается.");
    InitializeSoundDevice(renderer->GetWindow());
    ShowCursor(FALSE);
    return kOk;
}

int ScreensaverApp::DeleteWindows() {
    monitorCovers_.Close();
    if (mode_ != kModePreview) return kOk;
    if (dialogWindow_) {
        if (IsWindow(dialogWindow_)) DestroyWindow(dialogWindow_);
        UnregisterClassW(ToWide(PreviewClassName(*this)).c_str(), instance_);
        dialogWindow_ = nullptr;
    }
    ReleasePreviewPicture();
    ShowCursor(TRUE);
    return kOk;
}

}  // namespace zav
