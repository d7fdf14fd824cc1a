#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ScreensaverApp.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

// An application whose content steps succeed or fail on request and record
// that they ran.
class ScriptedApp : public ScreensaverApp {
public:
    std::vector<std::string> calls;
    bool failDeleteData = false;
    bool failEngineStopping = false;
    int failExtraSettingAt = -1;
    std::vector<std::string> extraKeys;

    void SetMode(int32_t mode) { mode_ = mode; }
    void SetRunning() { running_ = 1; }

protected:
    int Record(const char* step, bool fail = false) {
        calls.push_back(step);
        return fail ? kFailed : kOk;
    }
    int OnInputEventExtra(const InputEvent&) override { return Record("OnInputEventExtra"); }
    int OnDefaultsApplied() override { return Record("OnDefaultsApplied"); }
    int OnSettingsLogged() override { return Record("OnSettingsLogged"); }
    int ParseExtraSetting(const String& key, const String&) override {
        extraKeys.emplace_back(key.CStr());
        return static_cast<int>(extraKeys.size()) - 1 == failExtraSettingAt ? kFailed : kOk;
    }
    int ReadExtraSettings(HKEY) override { return kOk; }
    int WriteExtraSettings(HKEY) override { return kOk; }
    int SettingsDialogExtra(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    void OnSettingsDialogRefreshed() override {}
    int OnEngineStarted() override { return Record("OnEngineStarted"); }
    int OnEngineStopping() override { return Record("OnEngineStopping", failEngineStopping); }
    int Update(double) override { return kOk; }
    int Render() override { return kOk; }
    int CreateVisualDataExtra() override { return kOk; }
    int DeleteVisualDataExtra() override { return Record("DeleteVisualDataExtra"); }
    int CreateData() override { return kOk; }
    int DeleteData() override { return Record("DeleteData", failDeleteData); }
    int CacheData() override { return kOk; }
};

TEST(AppLifecycle, ShutdownRunsEveryStepEvenAfterAFailure) {
    Ref<ScriptedApp> app(new ScriptedApp());
    app->SetMode(kModeScreensaver);
    app->failDeleteData = true;
    app->failEngineStopping = true;
    test::LogCapture capture;
    EXPECT_EQ(app->Shutdown(), kFailed);
    EXPECT_EQ(app->calls, (std::vector<std::string>{"DeleteData", "DeleteVisualDataExtra", "OnEngineStopping"}));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно удалить данные скринсейвера."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Окна скринсейвера удалены."));
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно завершить работу скринсейвера."));
}

TEST(AppLifecycle, ShutdownOfThePasswordModeStopsNothing) {
    Ref<ScriptedApp> app(new ScriptedApp());
    app->SetMode(kModePassword);
    test::LogCapture capture;
    EXPECT_EQ(app->Shutdown(), kOk);
    EXPECT_EQ(app->calls, (std::vector<std::string>{"OnEngineStopping"}));
    EXPECT_TRUE(capture.Has(kLogInfo, "Скринсейвер завершил работу."));
    EXPECT_FALSE(capture.Has(kLogInfo, "Завершение работы движка:"));
}

TEST(AppLifecycle, TheAppIsReachableWhileItLives) {
    {
        Ref<ScriptedApp> app(new ScriptedApp());
        EXPECT_EQ(theApp, app.Get());
    }
    EXPECT_EQ(theApp, nullptr);
}

TEST(AppInput, KeysButtonsAndWindowEventsEndTheRun) {
    Ref<ScriptedApp> app(new ScriptedApp());
    const InputEvent endingEvents[] = {
        {kDeviceKeyboard, kActionPressed, 49, 0},
        {kDeviceMouse, kActionPressed, 0, 0},
        {kDeviceWindow, kActionClosed, 0, 0},
    };
    for (const InputEvent& event : endingEvents) {
        app->SetRunning();
        app->OnInputEvent(event);
        EXPECT_FALSE(app->IsRunning()) << event.device << "/" << event.action;
    }
    const InputEvent harmlessEvents[] = {
        {kDeviceKeyboard, kActionReleased, 49, 0},
        {kDeviceMouse, kActionReleased, 1, 0},
        {kDeviceMouse, kActionMoved, 10, 10},  // ExitOnMouseMove is off
    };
    for (const InputEvent& event : harmlessEvents) {
        app->SetRunning();
        app->OnInputEvent(event);
        EXPECT_TRUE(app->IsRunning()) << event.device << "/" << event.action;
    }
    // Every event reaches the subclass as well.
    EXPECT_EQ(app->calls.size(), 6u);
}

TEST(AppInput, TheEleventhMouseMoveEndsTheRunWhenAsked) {
    Ref<ScriptedApp> app(new ScriptedApp());
    app->GetSettings().flags[kExitOnMouseMove] = true;
    app->SetRunning();
    for (int i = 0; i < 10; ++i) app->OnInputEvent({kDeviceMouse, kActionMoved, i, i});
    EXPECT_TRUE(app->IsRunning());
    // A click in between does not restore the allowance.
    app->OnInputEvent({kDeviceMouse, kActionReleased, 0, 0});
    app->OnInputEvent({kDeviceMouse, kActionMoved, 11, 11});
    EXPECT_FALSE(app->IsRunning());
}

const char kSettingsText[] =
    "; comment\r\n"
    "RegistryPath = Software\\\\ZAV Tests\\\\Settings\r\n"
    "main_web_site_url = https://example.test/\r\n"
    "\r\n"
    "ShowFPS = 1 ; yes\r\n"
    "Hour24 = 0\r\n"
    "Volume = 250\r\n"
    "Gamma = -7\r\n"
    "Width = abc\r\n"
    "Unknown=1\r\n"
    "OldFilmPower = 0.3";

TEST(AppSettings, DefaultsComeFromTheSettingsText) {
    platform::RegisterBlob("MEDIADATA", 239, kSettingsText, sizeof kSettingsText - 1);
    Ref<ScriptedApp> app(new ScriptedApp());
    test::LogCapture capture;
    EXPECT_EQ(app->LoadDefaultSettings(), kOk);
    platform::UnregisterBlob("MEDIADATA", 239);
    EXPECT_TRUE(capture.Has(kLogInfo, "Ресурс настроек загружен."));
    EXPECT_EQ(app->GetRegistryPath(), "Software\\\\ZAV Tests\\\\Settings");
    EXPECT_EQ(app->GetSiteAddress(), "https://example.test/");
    const SettingsValues& defaults = app->GetDefaultSettings();
    EXPECT_TRUE(defaults.Flag(kShowFps));
    EXPECT_FALSE(defaults.Flag(kHour24));
    EXPECT_TRUE(defaults.Flag(kShowTime));        // not in the text: unchanged
    EXPECT_EQ(defaults.Number(kVolume), 100);     // clamped
    EXPECT_EQ(defaults.Number(kGamma), -7);
    EXPECT_EQ(defaults.Number(kWidth), 800);      // unparsable: unchanged
    // Every pair reaches the subclass, the one without " = " with an empty key.
    EXPECT_EQ(app->extraKeys, (std::vector<std::string>{"RegistryPath", "main_web_site_url", "ShowFPS", "Hour24",
                                                        "Volume", "Gamma", "Width", "", "OldFilmPower"}));
    // Applying copies them and tells the subclass.
    EXPECT_EQ(app->ApplyDefaults(), kOk);
    EXPECT_EQ(app->GetSettings().Number(kVolume), 100);
    EXPECT_EQ(app->calls.back(), "OnDefaultsApplied");
}

TEST(AppSettings, ARefusedPairStopsWithTheWholeLine) {
    platform::RegisterBlob("MEDIADATA", 239, kSettingsText, sizeof kSettingsText - 1);
    Ref<ScriptedApp> app(new ScriptedApp());
    app->failExtraSettingAt = 2;
    test::LogCapture capture;
    EXPECT_EQ(app->LoadDefaultSettings(), kFailed);
    platform::UnregisterBlob("MEDIADATA", 239);
    EXPECT_TRUE(capture.Has(kLogError, "Неудачна обработка параметра [ShowFPS = 1 ]."));
    EXPECT_EQ(app->extraKeys.size(), 3u);
}

TEST(AppSettings, MissingResourcesFail) {
    Ref<ScriptedApp> app(new ScriptedApp());
    test::LogCapture capture;
    EXPECT_EQ(app->LoadDefaultSettings(), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Невозможно загрузить ресурс ID[239]."));
    EXPECT_TRUE(capture.Has(kLogInfo, "Ресурс настроек не загружен."));
    EXPECT_EQ(app->LoadUiStrings(), kFailed);
    EXPECT_TRUE(capture.Has(kLogInfo, "Ресурс локальных данных не загружен."));
}

TEST(AppSettings, UiStringsLoadAndTheFirstTextWins) {
    static const char kStrings[] = "AppName = First\r\nAppName = Second\r\nMes_Button_OK = OK";
    platform::RegisterBlob("MEDIADATA", 229, kStrings, sizeof kStrings - 1);
    Ref<ScriptedApp> app(new ScriptedApp());
    EXPECT_EQ(app->LoadUiStrings(), kOk);
    platform::UnregisterBlob("MEDIADATA", 229);
    ASSERT_NE(app->GetUiString("AppName"), nullptr);
    EXPECT_EQ(*app->GetUiString("AppName"), "First");
    ASSERT_NE(app->GetUiString("Mes_Button_OK"), nullptr);
    EXPECT_EQ(app->GetUiString("mes_button_ok"), nullptr);
}

}  // namespace
}  // namespace zav
