// The built screensaver's resources as the system reads them: the name in
// the list of screensavers, the version that file properties show and the
// manifest, which this program carries too.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "version.h"

namespace zav {
namespace {

const std::string kPath = ZAV_SCREENSAVER_PATH;
const std::wstring kWidePath(kPath.begin(), kPath.end());  // a build path: ASCII

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

TEST(ExecutableResources, NameInTheUsersLanguageAndTheManifestsRequests) {
    HMODULE module =
        LoadLibraryExW(kWidePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << kPath;
    wchar_t name[64] = {};
    int length = LoadStringW(module, 1, name, 64);
    EXPECT_EQ(std::wstring(name, static_cast<size_t>(length > 0 ? length : 0)),
              std::getenv("ZAV_EXPECT_RUSSIAN") ? L"Ночная гавань 3D" : L"Night Harbor 3D");

    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
    for (const char* wanted : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                               ">true/pm</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>",
                               "level=\"asInvoker\"",
                               "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",   // 7
                               "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})  // 10, 11
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    FreeLibrary(module);
}

TEST(ExecutableResources, VersionBlockNamesTheProductAndTheBuildsVersion) {
    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeW(kWidePath.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(kWidePath.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    auto query = [&block](const std::wstring& name, UINT* length) {
        void* value = nullptr;
        *length = 0;
        return VerQueryValueW(block.data(), name.c_str(), &value, length) ? value : nullptr;
    };
    UINT length = 0;
    auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\", &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    wchar_t numbers[32];
    std::swprintf(numbers, 32, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, Wide(ZAV_VERSION_TEXT));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(translation, nullptr);
    EXPECT_EQ(translation[0], 0x0409);  // the string block: US English, UTF-16
    EXPECT_EQ(translation[1], 1200);

    std::wstring fileName = kWidePath.substr(kWidePath.find_last_of(L'/') + 1);
    for (const auto& [key, expected] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"ProductName", L"Night Harbor 3D"},
             {L"FileDescription", L"Night Harbor 3D Screensaver"},
             {L"CompanyName", L"VORNHALT Studio"},
             {L"LegalCopyright", L"Copyright (c) 2026 VORNHALT Studio"},
             {L"FileVersion", Wide(ZAV_VERSION_TEXT)},
             {L"OriginalFilename", fileName}}) {
        auto* text = static_cast<const wchar_t*>(query(L"\\StringFileInfo\\040904B0\\" + key, &length));
        EXPECT_EQ(text ? std::wstring(text, wcsnlen(text, length)) : L"<missing>", expected);
    }
}

// The loader takes version 6 of the common controls from the side-by-side
// store only for a program whose manifest asks for it. (Wine makes every
// program per-monitor DPI aware, so the awareness shows no effect here.)
TEST(ExecutableResources, ManifestGivesTheProcessVersionSixOfTheCommonControls) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(LoadLibraryW(L"comctl32.dll"), path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::wstring::npos)
        << lower;
}

}  // namespace
}  // namespace zav
