#include "app/DialogPicture.h"

#include <cstdio>

#include "app/DataFiles.h"
#include "app/WideText.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"

namespace zav {

std::string WriteTemporaryPicture(const std::string& bytes) {
    std::string path = platform::CreateTempFile("NEW");
    if (path.empty()) return path;
    bool written = false;
    if (std::FILE* file = platform::OpenFile(path.c_str(), "wb")) {
        written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        written = std::fclose(file) == 0 && written;
    }
    if (!written) {
        platform::RemoveFile(path.c_str());
        path.clear();
    }
    return path;
}

HBITMAP LoadPictureFile(const std::string& path, int width, int height) {
    return static_cast<HBITMAP>(
        LoadImageW(nullptr, Utf8ToWide(path).c_str(), IMAGE_BITMAP, width, height, LR_LOADFROMFILE));
}

bool DialogPicture::EnsureTemporaryFile() {
    if (!path_.empty()) return true;
    if (unavailable_) return false;
    std::string bytes;
    if (ReadDataFile(fileName_, &bytes) == kOk) {
        path_ = WriteTemporaryPicture(bytes);
        if (path_.empty()) LogError("Невозможно записать картинку [%s] во временный файл.", fileName_);
    }
    unavailable_ = path_.empty();
    return !unavailable_;
}

namespace {

// Sets the control's image; frees what the control hands back unless it is
// `ours` (a control with visual styles copies a picture with alpha and hands
// back the copy).
void SetControlImage(HWND control, HBITMAP image, HBITMAP ours) {
    auto previous = reinterpret_cast<HBITMAP>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(image)));
    if (previous && previous != ours && previous != image) DeleteObject(previous);
}

}  // namespace

bool DialogPicture::ShowIn(HWND control) {
    RECT client = {};
    if (!control || !GetClientRect(control, &client) || client.right <= 0 || client.bottom <= 0) return false;
    if (bitmap_ && client.right == width_ && client.bottom == height_) return true;
    if (!EnsureTemporaryFile()) return false;
    HBITMAP bitmap = LoadPictureFile(path_, client.right, client.bottom);
    if (!bitmap) {
        LogError("Невозможно загрузить картинку [%s].", fileName_);
        platform::RemoveFile(path_.c_str());
        path_.clear();
        unavailable_ = true;
        return false;
    }
    HBITMAP replaced = bitmap_;
    bitmap_ = bitmap;
    width_ = client.right;
    height_ = client.bottom;
    SetControlImage(control, bitmap_, replaced);
    if (replaced) DeleteObject(replaced);
    InvalidateRect(control, nullptr, TRUE);
    return true;
}

void DialogPicture::Release(HWND control) {
    if (control && IsWindow(control)) SetControlImage(control, nullptr, bitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = height_ = 0;
    if (!path_.empty()) platform::RemoveFile(path_.c_str());
    path_.clear();
    unavailable_ = false;
}

}  // namespace zav
