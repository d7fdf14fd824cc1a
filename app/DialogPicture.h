#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace zav {

// A picture of the virtual file tree shown in a dialog's picture control (a
// static control with SS_BITMAP). The system loads bitmaps from files only,
// so the picture goes through a temporary file: written once, at the first
// ShowIn, and deleted by Release. The bitmap is made again only when the
// control's size changes; the one it replaces is freed.
class DialogPicture {
public:
    explicit DialogPicture(const char* fileName) : fileName_(fileName) {}
    ~DialogPicture() { Release(nullptr); }
    DialogPicture(const DialogPicture&) = delete;
    DialogPicture& operator=(const DialogPicture&) = delete;

    // Shows the picture in `control`, scaled to its client size, and marks
    // the control for repainting when its image changes. False when the
    // picture is missing or cannot be decoded (logged once, and not tried
    // again until Release).
    bool ShowIn(HWND control);
    // Takes the picture off `control` (when it is still a window), frees the
    // bitmap and deletes the temporary file.
    void Release(HWND control);

    // The temporary file, empty when there is none.
    const std::string& GetTemporaryPath() const { return path_; }
    HBITMAP GetBitmap() const { return bitmap_; }

private:
    // Writes the temporary file the first time; false when that failed.
    bool EnsureTemporaryFile();

    const char* fileName_;
    std::string path_;
    bool unavailable_ = false;
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Writes `bytes` to a new temporary file whose name starts with "NEW".
// Returns its path; empty (and no file left) when it cannot be written.
std::string WriteTemporaryPicture(const std::string& bytes);
// Loads the BMP file at `path` (UTF-8) as a bitmap of width x height. Null
// when the file holds no picture.
HBITMAP LoadPictureFile(const std::string& path, int width, int height);

}  // namespace zav
