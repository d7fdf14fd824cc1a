#include "app/PreviewWindow.h"

#include "app/DataFiles.h"
#include "app/DialogPicture.h"
#include "app/ScreensaverApp.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"

namespace zav {

namespace {

bool gPreviewWaiting = false;

// The preview picture, decoded once at the first paint.
HBITMAP gPicture = nullptr;
bool gPictureLoaded = false;

HBITMAP PreviewPicture(int width, int height) {
    if (gPictureLoaded) return gPicture;
    gPictureLoaded = true;
    std::string bytes;
    if (ReadDataFile("preview.bmp", &bytes) != kOk) return nullptr;
    gPicture = DecodePreviewPicture(bytes, width, height);
    if (!gPicture) LogError("Невозможно загрузить картинку предпросмотра [preview.bmp].");
    return gPicture;
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC target = BeginPaint(window, &paint);
    if (!target) return;
    RECT client;
    GetClientRect(window, &client);
    HBITMAP picture = PreviewPicture(client.right - client.left, client.bottom - client.top);
    HDC source = picture ? CreateCompatibleDC(target) : nullptr;
    if (source) {
        HGDIOBJ previous = SelectObject(source, picture);
        BitBlt(target, 0, 0, client.right - client.left, client.bottom - client.top, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    } else {
        FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    EndPaint(window, &paint);
}

// Ends the preview. The window may be closed by its parent's process, whose
// messages arrive inside the loop's wait: a posted message wakes it up.
void StopRunning() {
    if (theApp) theApp->StopRunning();
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

}  // namespace

bool IsPreviewWaiting() { return gPreviewWaiting; }
void SetPreviewWaiting(bool waiting) { gPreviewWaiting = waiting; }

HBITMAP DecodePreviewPicture(const std::string& bytes, int width, int height) {
    std::string path = WriteTemporaryPicture(bytes);
    if (path.empty()) return nullptr;
    HBITMAP picture = LoadPictureFile(path, width, height);
    platform::RemoveFile(path.c_str());
    return picture;
}

void ReleasePreviewPicture() {
    if (gPicture) DeleteObject(gPicture);
    gPicture = nullptr;
    gPictureLoaded = false;
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_NEXTWINDOW:
                case SC_PREVWINDOW:
                case SC_CLOSE:
                    StopRunning();
                    return 1;
                case SC_SCREENSAVE:
                    return 0;  // no other screensaver while the preview runs
                default:
                    break;
            }
            break;
        case WM_DESTROY:
        case WM_CLOSE:
        case WM_QUIT:
            StopRunning();
            return 1;
        case WM_USER:
            SetTimer(window, kPreviewStartTimer, 500, nullptr);
            break;
        case WM_TIMER:
            if (wParam == kPreviewStartTimer) {
                gPreviewWaiting = false;
                KillTimer(window, kPreviewStartTimer);
            } else if (wParam == kPreviewParentTimer) {
                HWND parent = theApp ? theApp->GetParentWindow() : nullptr;
                if (parent && !IsWindow(parent)) StopRunning();
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace zav
