#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "engine/platform/BlobRegistry.h"
#include "engine/platform/Platform.h"

namespace zav::platform {

namespace {

std::wstring Widen(const char* text, UINT codePage) {
    if (!text || !*text) return std::wstring();
    int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::string Narrow(const wchar_t* text, UINT codePage) {
    if (!text || !*text) return std::string();
    int length = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length) - 1);
    return narrow;
}

constexpr UINT kEngineCodePage = 1251;

}  // namespace

bool FindBlob(const char* type, int id, Blob* blob) {
    if (!type || !blob) return false;
    if (FindRegisteredBlob(type, id, blob)) return true;
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (!info) return false;
    HGLOBAL handle = LoadResource(nullptr, info);
    if (!handle) return false;
    const void* data = LockResource(handle);
    DWORD size = SizeofResource(nullptr, info);
    if (!data && size > 0) return false;
    // Resources of the executable stay mapped for the life of the process.
    blob->data = data;
    blob->size = size;
    return true;
}

void* OpenLibrary(const char* utf8Path) {
    if (!utf8Path) return nullptr;
    return reinterpret_cast<void*>(LoadLibraryW(Widen(utf8Path, CP_UTF8).c_str()));
}

void* FindLibrarySymbol(void* library, const char* name) {
    if (!library || !name) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

bool CloseLibrary(void* library) { return library && FreeLibrary(static_cast<HMODULE>(library)); }

std::FILE* OpenFile(const char* utf8Path, const char* mode) {
    if (!utf8Path || !mode) return nullptr;
    return _wfopen(Widen(utf8Path, CP_UTF8).c_str(), Widen(mode, CP_UTF8).c_str());
}

bool MakeDirectory(const char* utf8Path) {
    if (!utf8Path) return false;
    std::wstring path = Widen(utf8Path, CP_UTF8);
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    DWORD attributes = GetFileAttributesW(path.c_str());
    return GetLastError() == ERROR_ALREADY_EXISTS || (attributes != INVALID_FILE_ATTRIBUTES &&
                                                      (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

bool RemoveFile(const char* utf8Path) { return utf8Path && DeleteFileW(Widen(utf8Path, CP_UTF8).c_str()); }

std::string GetUserDataFolder() {
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return std::string();
    return Narrow(folder, CP_UTF8);
}

std::string CreateTempFile(const char* prefix) {
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return std::string();
    wchar_t path[MAX_PATH];
    if (!GetTempFileNameW(folder, Widen(prefix ? prefix : "", CP_UTF8).c_str(), 0, path)) return std::string();
    return Narrow(path, CP_UTF8);
}

char PathSeparator() { return '\\'; }

std::string Utf8ToCodePage(const char* utf8) {
    std::wstring wide = Widen(utf8, CP_UTF8);
    return Narrow(wide.c_str(), kEngineCodePage);
}

std::string CodePageToUtf8(const char* text) {
    std::wstring wide = Widen(text, kEngineCodePage);
    return Narrow(wide.c_str(), CP_UTF8);
}

uint64_t MonotonicMilliseconds() { return GetTickCount64(); }

void SleepMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }

std::string GetCommandLineText() { return Narrow(GetCommandLineW(), CP_UTF8); }

bool DispatchWindowMessages() {
    bool quit = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return quit;
}

}  // namespace zav::platform
