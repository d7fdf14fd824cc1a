#include "app/MonitorCovers.h"

#include "app/SystemWindow.h"
#include "app/WideText.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"

namespace zav {

namespace {

MonitorListFunction gMonitorList = nullptr;

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
            {info.rcMonitor, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

std::vector<MonitorArea> SystemMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace

MonitorListFunction SetMonitorListFunction(MonitorListFunction function) {
    MonitorListFunction previous = gMonitorList;
    gMonitorList = function;
    return previous;
}

std::vector<MonitorArea> ListMonitors() { return gMonitorList ? gMonitorList() : SystemMonitors(); }

int MonitorCovers::Open(const std::vector<MonitorArea>& monitors, HWND sceneWindow, const String& title) {
    Close();
    int result = kOk;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    std::wstring wideTitle = ToWide(title);
    for (const MonitorArea& monitor : monitors) {
        const RECT& rect = monitor.rect;
        LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
        if (monitor.primary || width <= 0 || height <= 0) continue;
        if (className_.empty()) {
            std::wstring name = ToWide(title + String(" Cover"));
            WNDCLASSEXW windowClass = {};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = EngineWindowProc;
            windowClass.hInstance = instance;
            windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
            windowClass.lpszClassName = name.c_str();
            if (!RegisterClassExW(&windowClass)) {
                LogError("Невозможно зарегестрировать класс окна [%s Cover].", title.CStr());
                return kFailed;
            }
            className_ = name;
        }
        // No task bar button; shown without taking the focus from the scene.
        HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, className_.c_str(), wideTitle.c_str(), WS_POPUP, rect.left,
                                      rect.top, width, height, nullptr, nullptr, instance, nullptr);
        if (!window) {
            LogError("Невозможно закрыть монитор %d,%d %dx%d окном.", static_cast<int>(rect.left),
                     static_cast<int>(rect.top), static_cast<int>(width), static_cast<int>(height));
            result = kFailed;
            continue;
        }
        SetWindowPos(window, sceneWindow ? sceneWindow : HWND_TOP, rect.left, rect.top, width, height,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
        windows_.push_back(window);
        LogInfo("Монитор %d,%d %dx%d закрыт чёрным окном.", static_cast<int>(rect.left), static_cast<int>(rect.top),
                static_cast<int>(width), static_cast<int>(height));
    }
    return result;
}

void MonitorCovers::Close() {
    for (HWND window : windows_)
        if (IsWindow(window)) DestroyWindow(window);
    windows_.clear();
    if (className_.empty()) return;
    UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
    className_.clear();
}

}  // namespace zav
