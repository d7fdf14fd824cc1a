// The settings store against the real registry and the executable's own
// resources (linked into this program).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/core/Log.h"
#include "engine/platform/Platform.h"
#include "tests/support/LogCapture.h"
#include "tests/win/EmptyScreensaver.h"

namespace zav {
namespace {

constexpr char kFirstRun[] = "Первый запуск скринсейвера. Запись параметров по-умолчанию в реестр...";

// A registry key of the test's own under the current user, removed before
// and after the test.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        path = "Software\\VORNHALT Studio\\ZAV Tests\\" + name;
        RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }

    // Loads the defaults from the resource and points the store at the test key.
    Ref<test::EmptyScreensaver> NewApp() {
        Ref<test::EmptyScreensaver> app(new test::EmptyScreensaver());
        EXPECT_EQ(app->LoadDefaultSettings(), kOk);
        EXPECT_EQ(app->ApplyDefaults(), kOk);
        app->SetRegistryPath(path.c_str());
        return app;
    }

    void SetValue(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void SetDword(const char* name, int32_t value) { SetValue(name, REG_DWORD, &value, sizeof value); }

    bool ReadDword(const char* name, DWORD* value) {
        DWORD size = sizeof *value;
        DWORD type = 0;
        return RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY, &type, value, &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    }

    std::string path;
};

TEST_F(SettingsStoreTest, FirstRunWritesEveryDefaultAndTheNextRunReadsTheRegistry) {
    Ref<test::EmptyScreensaver> app = NewApp();
    const SettingsValues defaults = app->GetDefaultSettings();
    EXPECT_EQ(defaults.Number(kVolume), 50);  // the shipped text, not the constructor's 80
    EXPECT_EQ(app->GetRegistryPath(), path.c_str());
    test::LogCapture capture;
    ASSERT_EQ(app->ReadRegistrySettings(), kOk);
    EXPECT_TRUE(capture.Has(kLogInfo, kFirstRun));
    EXPECT_TRUE(capture.Has(kLogInfo, "Значения параметров по-умолчанию записаны в реестр."));
    for (int i = 0; i < kSettingFlagCount; ++i) {
        DWORD value = 99;
        ASSERT_TRUE(ReadDword(kSettingFlagKeys[i], &value)) << kSettingFlagKeys[i];
        EXPECT_EQ(value, defaults.flags[i] ? 1u : 0u) << kSettingFlagKeys[i];
    }
    for (int i = 0; i < kSettingNumberCount; ++i) {
        DWORD value = 99;
        ASSERT_TRUE(ReadDword(kSettingNumberKeys[i], &value)) << kSettingNumberKeys[i];
        EXPECT_EQ(static_cast<int32_t>(value), defaults.numbers[i]) << kSettingNumberKeys[i];
    }

    SetDword("Volume", 33);
    SetDword("Hour24", 1);
    Ref<test::EmptyScreensaver> second = NewApp();
    capture.Clear();
    ASSERT_EQ(second->ReadRegistrySettings(), kOk);
    EXPECT_FALSE(capture.Has(kLogInfo, kFirstRun));
    EXPECT_EQ(second->GetSettings().Number(kVolume), 33);
    EXPECT_TRUE(second->GetSettings().Flag(kHour24));
    EXPECT_EQ(second->GetSettings().Number(kWidth), 800);
}

TEST_F(SettingsStoreTest, StoredValuesAreClampedAndOnlyFourByteValuesCount) {
    SetDword("Volume", 250);
    SetDword("Gamma", -500);
    SetDword("ShowFPS", 7);
    SetDword("ShowTime", 0);
    SetValue("Width", REG_SZ, "abc", 4);  // four bytes of another type: a number
    SetValue("Height", REG_BINARY, "\x01\x02", 2);
    const uint64_t wide = 0x0000000100000280ull;
    SetValue("ColorDepth", REG_QWORD, &wide, sizeof wide);
    Ref<test::EmptyScreensaver> app = NewApp();
    ASSERT_EQ(app->ReadRegistrySettings(), kOk);
    const SettingsValues& settings = app->GetSettings();
    EXPECT_EQ(settings.Number(kVolume), 100);
    EXPECT_EQ(settings.Number(kGamma), -100);
    EXPECT_TRUE(settings.Flag(kShowFps));
    EXPECT_FALSE(settings.Flag(kShowTime));
    EXPECT_EQ(settings.Number(kWidth), 0x00636261);
    EXPECT_EQ(settings.Number(kHeight), 600);     // too short: the default stays
    EXPECT_EQ(settings.Number(kColorDepth), 32);  // too long: the default stays
    test::LogCapture capture;
    app->LogSettings();
    EXPECT_TRUE(capture.Has(kLogInfo, "Volume: 100"));
    EXPECT_TRUE(capture.Has(kLogInfo, "ShowFPS: true"));
}

TEST_F(SettingsStoreTest, SettingsTextIsReadWithinItsLength) {
    // The resource is not zero-terminated: "Volume = 42" cut after its 4.
    static const char kText[] = "Gamma = -7\r\nKey=Value\r\nShowFPS = 1\r\nVolume = 42";
    platform::RegisterBlob("MEDIADATA", 239, kText, sizeof kText - 2);
    Ref<test::EmptyScreensaver> app(new test::EmptyScreensaver());
    int result = app->LoadDefaultSettings();
    platform::UnregisterBlob("MEDIADATA", 239);
    ASSERT_EQ(result, kOk);
    EXPECT_EQ(app->GetDefaultSettings().Number(kVolume), 4);
    EXPECT_EQ(app->GetDefaultSettings().Number(kGamma), -7);
    EXPECT_TRUE(app->GetDefaultSettings().Flag(kShowFps));

    platform::RegisterBlob("MEDIADATA", 239, "", 0);
    Ref<test::EmptyScreensaver> empty(new test::EmptyScreensaver());
    result = empty->LoadDefaultSettings();
    platform::UnregisterBlob("MEDIADATA", 239);
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(empty->GetDefaultSettings().Number(kVolume), 80);  // the constructor's defaults
    EXPECT_EQ(empty->GetRegistryPath(), "Software\\VORNHALT Studio\\Test Screensaver");
}

TEST_F(SettingsStoreTest, MissingResourceIsReported) {
    Ref<test::EmptyScreensaver> app(new test::EmptyScreensaver());
    test::LogCapture capture;
    char* bytes = reinterpret_cast<char*>(1);
    size_t length = 5;
    EXPECT_EQ(app->LoadResourceCopy(4242, &bytes, &length), kFailed);
    EXPECT_EQ(bytes, nullptr);
    EXPECT_EQ(length, 0u);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить ресурс ID[4242]."));
}

// Run by ctest a second time under a Russian user locale (ZAV_EXPECT_RUSSIAN).
TEST(ResourceLanguage, UserLocalePicksTheVariant) {
    bool russian = std::getenv("ZAV_EXPECT_RUSSIAN") != nullptr;
    Ref<test::EmptyScreensaver> app(new test::EmptyScreensaver());
    ASSERT_EQ(app->LoadDefaultSettings(), kOk);
    ASSERT_EQ(app->LoadUiStrings(), kOk);
    const String* sound = app->GetUiString("Mes_Settings_Box_Sound");
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(app->GetUiString("mes_settings_box_sound"), nullptr);
    ASSERT_NE(app->GetUiString("Mes_About_String8"), nullptr);
    if (russian) {
        EXPECT_EQ(*sound, "Звук");
        EXPECT_EQ(app->GetUiStringOr("Mes_Settings_Button_RestoreDefs", ""), "Сброс настроек");
        EXPECT_TRUE(app->GetDefaultSettings().Flag(kShowFps));
        EXPECT_TRUE(app->GetDefaultSettings().Flag(kExitOnMouseMove));
        EXPECT_EQ(app->GetDefaultSettings().Number(kVolume), 80);
        EXPECT_EQ(app->GetDefaultSettings().Number(kGamma), 0);
    } else {
        EXPECT_EQ(*sound, "Sound Control");
        EXPECT_EQ(app->GetUiStringOr("AppName", ""), "Night Harbor 3D");
        EXPECT_FALSE(app->GetDefaultSettings().Flag(kShowFps));
        EXPECT_EQ(app->GetDefaultSettings().Number(kGamma), 10);
    }
    EXPECT_EQ(app->GetRegistryPath(), "Software\\\\VORNHALT Studio\\\\Night Harbor 3D");
}

}  // namespace
}  // namespace zav
