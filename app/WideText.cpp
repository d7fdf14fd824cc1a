#include "app/WideText.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace zav {

namespace {

std::wstring Widen(UINT codePage, const char* text, int length) {
    int wideLength = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength > 0 ? wideLength : 0), L'\0');
    if (wideLength > 0) MultiByteToWideChar(codePage, 0, text, length, wide.data(), wideLength);
    return wide;
}

}  // namespace

std::wstring ToWide(const String& text) {
    constexpr UINT kEngineCodePage = 1251;
    return Widen(kEngineCodePage, text.CStr(), text.Length());
}

std::wstring Utf8ToWide(const std::string& text) {
    return Widen(CP_UTF8, text.data(), static_cast<int>(text.size()));
}

}  // namespace zav
