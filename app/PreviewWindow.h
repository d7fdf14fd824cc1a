#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace zav {

// Timer of the preview window: started by WM_USER, it ends the wait at the
// start of the preview loop.
constexpr UINT_PTR kPreviewStartTimer = 1;
// Timer of the preview window that ends the preview once the window it
// shows in is gone.
constexpr UINT_PTR kPreviewParentTimer = 2;

// True from the start of the preview loop until the start timer fires.
bool IsPreviewWaiting();
void SetPreviewWaiting(bool waiting);

// Window procedure of the preview window: paints the preview picture and ends
// the run when the window closes.
LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Decodes a BMP file's bytes into a bitmap of width x height, through a
// temporary file that is deleted again. Null when the bytes are no picture.
HBITMAP DecodePreviewPicture(const std::string& bytes, int width, int height);

// Frees the preview picture; the next paint loads it again.
void ReleasePreviewPicture();

}  // namespace zav
