// The built screensaver's resources as the system reads them: the name in
// the list of screensavers, the version that file properties show and the
// manifest. This program carries the same manifest, so it also shows what
// the manifest does to a process.
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
#include <vector>

#include "version.h"

namespace zav {
namespace {

std::wstring ScreensaverPath() {
    std::string path = ZAV_SCREENSAVER_PATH;
    return std::wstring(path.begin(), path.end());  // a build path: ASCII
}

// The screensaver loaded for its resources only.
class ExecutableResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(ScreensaverPath().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot load " << ZAV_SCREENSAVER_PATH;
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }

    HMODULE module = nullptr;
};

TEST_F(ExecutableResources, StringOneIsTheNameInTheUsersLanguage) {
    wchar_t text[64] = {};
    int length = LoadStringW(module, 1, text, 64);
    bool russian = std::getenv("ZAV_EXPECT_RUSSIAN") != nullptr;
    EXPECT_EQ(std::wstring(text, static_cast<size_t>(length > 0 ? length : 0)),
              russian ? L"Ночная гавань 3D" : L"Night Harbor 3D");
}

// The version block of the file, as file properties read it.
class VersionBlock {
public:
    explicit VersionBlock(const std::wstring& path) {
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!GetFileVersionInfoW(path.c_str(), 0, size, data_.data())) data_.clear();
    }
    bool Present() const { return !data_.empty(); }
    const void* Query(const wchar_t* name, UINT* length) const {
        void* value = nullptr;
        *length = 0;
        if (data_.empty() || !VerQueryValueW(data_.data(), name, &value, length)) return nullptr;
        return value;
    }
    std::wstring Text(const wchar_t* key) const {
        std::wstring name = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        UINT length = 0;
        auto* value = static_cast<const wchar_t*>(Query(name.c_str(), &length));
        return value ? std::wstring(value, wcsnlen(value, length)) : std::wstring(L"<missing>");
    }

private:
    std::vector<char> data_;
};

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

TEST(ExecutableVersion, FixedAndTextVersionsAndTheProductNamesMatchTheBuild) {
    VersionBlock block(ScreensaverPath());
    ASSERT_TRUE(block.Present());
    UINT length = 0;
    auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(block.Query(L"\\", &length));
    ASSERT_NE(fixed, nullptr);
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    wchar_t numbers[32];
    std::swprintf(numbers, 32, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, Wide(ZAV_VERSION_TEXT));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    auto* translation = static_cast<const WORD*>(block.Query(L"\\VarFileInfo\\Translation", &length));
    ASSERT_NE(translation, nullptr);
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);  // the string block below: US English,
    EXPECT_EQ(translation[1], 1200);    // UTF-16

    EXPECT_EQ(block.Text(L"ProductName"), L"Night Harbor 3D");
    EXPECT_EQ(block.Text(L"FileDescription"), L"Night Harbor 3D Screensaver");
    EXPECT_EQ(block.Text(L"CompanyName"), L"VORNHALT Studio");
    EXPECT_EQ(block.Text(L"LegalCopyright"), L"Copyright (c) 2026 VORNHALT Studio");
    EXPECT_EQ(block.Text(L"FileVersion"), Wide(ZAV_VERSION_TEXT));
    EXPECT_EQ(block.Text(L"ProductVersion"), Wide(ZAV_VERSION_TEXT));
    // The name the file was built with.
    std::wstring path = ScreensaverPath();
    EXPECT_EQ(block.Text(L"OriginalFilename"), path.substr(path.find_last_of(L"/\\") + 1));
}

TEST_F(ExecutableResources, ManifestAsksForVisualStylesDpiAwarenessAndTheSupportedSystems) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    ASSERT_NE(bytes, nullptr);
    std::string manifest(bytes, SizeofResource(module, found));
    auto has = [&manifest](const char* text) {
        return manifest.find(text) != std::string::npos ? ::testing::AssertionSuccess()
                                                         : ::testing::AssertionFailure() << "no " << text;
    };
    EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_TRUE(has(">true/pm</dpiAware>"));
    EXPECT_TRUE(has(">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_TRUE(has("level=\"asInvoker\""));
    for (const char* system : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",    // 7
                               "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",    // 8
                               "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",    // 8.1
                               "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})  // 10 and 11
        EXPECT_TRUE(has((std::string("<supportedOS Id=\"") + system + "\"/>").c_str()));
}

// The loader takes version 6 of the common controls from the side-by-side
// store for a program whose manifest asks for it; without, it is the
// system folder's version 5. (Wine's DPI awareness is per monitor for every
// program, so the awareness entries show no effect here.)
TEST(ExecutableManifest, GivesTheProcessVersionSixOfTheCommonControls) {
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(controls, path, MAX_PATH);
    std::wstring lower(path);
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
    EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::wstring::npos) << lower;
    FreeLibrary(controls);
}

}  // namespace
}  // namespace zav
