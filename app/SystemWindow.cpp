#include "app/SystemWindow.h"

#include <string>

#include "app/WideText.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/input/InputManager.h"
#include "engine/input/KeyTranslation.h"
#include "engine/render/SystemWindow.h"

namespace zav {

namespace {

// The class of the open system window, unregistered when it closes.
std::wstring gClassName;

bool FirstDisplayDevice(DISPLAY_DEVICEW* device) {
    *device = {};
    device->cb = sizeof *device;
    return EnumDisplayDevicesW(nullptr, 0, device, 0) != FALSE;
}

// The device's desktop rectangle in its current settings.
bool CurrentRectangle(const DISPLAY_DEVICEW& device, RECT* rect) {
    DEVMODEW current = {};
    current.dmSize = sizeof current;
    if (!EnumDisplaySettingsW(device.DeviceName, ENUM_CURRENT_SETTINGS, &current)) return false;
    LONG left = 0, top = 0;
    if (!(device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE)) {
        left = current.dmPosition.x;
        top = current.dmPosition.y;
    }
    *rect = RECT{left, top, left + static_cast<LONG>(current.dmPelsWidth),
                 top + static_cast<LONG>(current.dmPelsHeight)};
    return true;
}

bool HasMonitor(const RECT& rect) { return MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr; }

// Undoes full-screen mode changes on every display.
void RestoreDisplaySettings() {
    DISPLAY_DEVICEW device = {};
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
        if (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER)
            ChangeDisplaySettingsExW(device.DeviceName, nullptr, nullptr, 0, nullptr);
        RECT rect;
        if (CurrentRectangle(device, &rect) && HasMonitor(rect))
            ChangeDisplaySettingsExW(device.DeviceName, nullptr, nullptr, 0, nullptr);
        device = {};
        device.cb = sizeof device;
    }
}

// A pop-up window over the first display setting at (x, y) with that size and
// depth which the display accepts for full screen.
HWND CreateFullScreenWindow(const DISPLAY_DEVICEW& device, const RECT& deviceRect, const std::wstring& title,
                            HWND owner, int32_t bitsPerPixel, int32_t x, int32_t y, int32_t width,
                            int32_t height) {
    DEVMODEW setting = {};
    setting.dmSize = sizeof setting;
    for (DWORD i = 0; EnumDisplaySettingsExW(device.DeviceName, i, &setting, 0); ++i) {
        POINTL position = (setting.dmFields & DM_POSITION) ? setting.dmPosition
                                                            : POINTL{deviceRect.left, deviceRect.top};
        if (position.x == x && position.y == y && setting.dmPelsWidth == static_cast<DWORD>(width) &&
            setting.dmPelsHeight == static_cast<DWORD>(height) &&
            setting.dmBitsPerPel == static_cast<DWORD>(bitsPerPixel) &&
            ChangeDisplaySettingsExW(device.DeviceName, &setting, nullptr, CDS_TEST | CDS_FULLSCREEN, nullptr) ==
                DISP_CHANGE_SUCCESSFUL) {
            HWND window = CreateWindowExW(0, gClassName.c_str(), title.c_str(), WS_POPUP | WS_VISIBLE, x, y, width,
                                          height, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
            if (window) return window;
        }
        setting = {};
        setting.dmSize = sizeof setting;
    }
    return nullptr;
}

HWND CreateWindowedWindow(const std::wstring& title, HWND owner, int32_t x, int32_t y, int32_t width,
                          int32_t height) {
    RECT frame = {x, y, x + width, y + height};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_OVERLAPPEDWINDOW);
    return CreateWindowExW(WS_EX_OVERLAPPEDWINDOW, gClassName.c_str(), title.c_str(),
                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, frame.left, frame.top, frame.right - frame.left,
                           frame.bottom - frame.top, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

int CreateSystemWindow(void** window, const String& title, void* parent, bool fullScreen, int32_t bitsPerPixel,
                       int32_t x, int32_t y, int32_t width, int32_t height) {
    LogInfo("Создание системного окна [%s].", title.CStr());
    if (!window) {
        LogError("Указатель на окно равен 0.");
        return kNotFound;
    }
    String className = title + String(" Class");
    gClassName = ToWide(className);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = EngineWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = gClassName.c_str();
    if (!RegisterClassExW(&windowClass)) {
        LogError("Невозможно зарегестрировать класс окна [%s].", className.CStr());
        gClassName.clear();
        return kFailed;
    }

    DISPLAY_DEVICEW device;
    RECT deviceRect;
    if (!FirstDisplayDevice(&device) || (device.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) ||
        !CurrentRectangle(device, &deviceRect) || !HasMonitor(deviceRect)) {
        LogError("Невозможно найти дисплей для окна [%s].", title.CStr());
        CloseSystemWindow(nullptr);
        return kFailed;
    }

    std::wstring wideTitle = ToWide(title);
    HWND owner = static_cast<HWND>(parent);
    HWND created = fullScreen ? CreateFullScreenWindow(device, deviceRect, wideTitle, owner, bitsPerPixel, x, y,
                                                       width, height)
                              : CreateWindowedWindow(wideTitle, owner, x, y, width, height);
    if (!created) {
        if (fullScreen)
            LogError("Нет настройки экрана %dx%d, %d бит для полноэкранного окна.", width, height, bitsPerPixel);
        else
            LogError("Невозможно создать окно [%s].", title.CStr());
        CloseSystemWindow(nullptr);
        return kFailed;
    }
    if (!*window) *window = created;
    return kOk;
}

int CloseSystemWindow(void* window) {
    HWND handle = static_cast<HWND>(window);
    if (!handle) {
        LogWarning("Указатель на окно равен 0.");
    } else if (IsWindow(handle) && !DestroyWindow(handle)) {
        LogError("Невозможно удалить системное окно.");
        return kFailed;
    }
    RestoreDisplaySettings();
    if (gClassName.empty()) return kOk;
    if (!UnregisterClassW(gClassName.c_str(), GetModuleHandleW(nullptr))) {
        LogError("Невозможно разрегестрировать класс системного окна.");
        return kFailed;
    }
    gClassName.clear();
    return kOk;
}

void InstallSystemWindow() {
    SystemWindowFunctions functions;
    functions.create = &CreateSystemWindow;
    functions.close = &CloseSystemWindow;
    SetSystemWindowFunctions(functions);
}

bool TranslateWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, InputEvent* event) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            *event = {kDeviceKeyboard, kActionPressed, TranslateVirtualKey(static_cast<uint32_t>(wParam)), 0};
            return true;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            *event = {kDeviceKeyboard, kActionReleased, TranslateVirtualKey(static_cast<uint32_t>(wParam)), 0};
            return true;
        case WM_MOUSEMOVE:
            *event = {kDeviceMouse, kActionMoved, static_cast<int32_t>(LOWORD(lParam)),
                      static_cast<int32_t>(HIWORD(lParam))};
            return true;
        case WM_LBUTTONDOWN: *event = {kDeviceMouse, kActionPressed, 0, 0}; return true;
        case WM_LBUTTONUP: *event = {kDeviceMouse, kActionReleased, 0, 0}; return true;
        case WM_RBUTTONDOWN: *event = {kDeviceMouse, kActionPressed, 1, 0}; return true;
        case WM_RBUTTONUP: *event = {kDeviceMouse, kActionReleased, 1, 0}; return true;
        case WM_MBUTTONDOWN: *event = {kDeviceMouse, kActionPressed, 2, 0}; return true;
        case WM_MBUTTONUP: *event = {kDeviceMouse, kActionReleased, 2, 0}; return true;
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_QUIT:
            *event = {kDeviceWindow, kActionClosed, 0, 0};
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK EngineWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    InputEvent event;
    if (TranslateWindowMessage(message, wParam, lParam, &event)) PostEvent(event);
    switch (message) {
        case WM_CLOSE:
            // The device may be in the middle of a frame: the run ends and
            // shutdown closes the window.
            return 0;
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            // Alt and F10 end the run like any key; they must not open the
            // window menu's modal loop on the way.
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace zav
