// Stands in for the display-settings page: opens a small window and starts a
// screensaver in preview mode inside it ("SCR /p <window>"). A key press in
// the host window, or the time limit, closes the window, which ends the
// preview. The exit code is the screensaver's.
//
//   preview_host.exe SCREENSAVER.scr [SECONDS]
//   preview_host.exe --window-only [SECONDS]   (prints the window number)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr UINT_PTR kCloseTimer = 1;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_TIMER:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        std::fprintf(stderr, "usage: preview_host SCREENSAVER.scr [SECONDS] | --window-only [SECONDS]\n");
        return 2;
    }
    bool windowOnly = std::wcscmp(argv[1], L"--window-only") == 0;
    int seconds = argc > 2 ? _wtoi(argv[2]) : 0;

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = L"ZavPreviewHost";
    RegisterClassW(&windowClass);
    RECT frame = {0, 0, 152, 112};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowW(L"ZavPreviewHost", L"Preview Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                nullptr);
    if (!window) return 2;
    if (seconds > 0) SetTimer(window, kCloseTimer, static_cast<UINT>(seconds) * 1000u, nullptr);
    std::printf("window %lu\n", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
    std::fflush(stdout);

    PROCESS_INFORMATION process = {};
    if (!windowOnly) {
        std::wstring command = L"\"" + std::wstring(argv[1]) + L"\" /p " +
                               std::to_wstring(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            std::fprintf(stderr, "preview_host: cannot start the screensaver\n");
            DestroyWindow(window);
            return 2;
        }
    }

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    DWORD exitCode = 0;
    if (process.hProcess) {
        if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "preview_host: the screensaver did not end after its window closed\n");
            TerminateProcess(process.hProcess, 3);
            exitCode = 3;
        } else {
            GetExitCodeProcess(process.hProcess, &exitCode);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    LocalFree(argv);
    return static_cast<int>(exitCode);
}
