// The settings dialog and the About box, driven in process through messages
// to their controls, against a registry key of the test's own, a recording
// renderer's display modes and pictures in the virtual file tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/SceneScreensaver.h"
#include "app/ShellOpen.h"
#include "app/res/resource_ids.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "tests/support/DisplayModes.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingRenderer.h"
#include "tests/win/PictureFiles.h"

#include <commctrl.h>

namespace zav {
namespace {

// The real application object with the settings store pointed at a test key.
class DialogApp : public SceneScreensaver {
public:
    using ScreensaverApp::ShowSettingsDialog;
    void SetRegistryPath(const String& path) { registryPath_ = path; }
};

// Steps run by one-shot thread timers, inside whatever modal loop is running.
std::map<UINT_PTR, std::function<void()>> gSteps;

void Later(std::function<void()> step) {
    UINT_PTR timer = SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        std::function<void()> step = std::move(gSteps[id]);
        gSteps.erase(id);
        step();
    });
    gSteps[timer] = std::move(step);
}

// Runs `step` with the window `find` gives once that window is shown: a
// dialog appears when its loop first runs out of messages.
void WhenShown(std::function<HWND()> find, std::function<void(HWND)> step, int tries = 100) {
    Later([find, step, tries] {
        HWND window = find();
        if (window && IsWindowVisible(window))
            step(window);
        else if (tries > 0)
            WhenShown(find, step, tries - 1);
        else {
            ADD_FAILURE() << "the window was never shown";
            if (window) EndDialog(window, 99);
        }
    });
}

// Dialogs this process has shown: the first refresh of a process moves the
// dialog.
int gDialogsShown = 0;

using test::Mode;

std::wstring Text(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ItemText(HWND dialog, int control) { return Text(GetDlgItem(dialog, control)); }

bool Checked(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }
bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

void Click(HWND dialog, int control) { SendDlgItemMessageW(dialog, control, BM_CLICK, 0, 0); }

// A key pressed on a control, as the keyboard delivers it.
void PressKey(HWND dialog, int control, WPARAM key) {
    SendDlgItemMessageW(dialog, control, WM_KEYDOWN, key, 0);
    SendDlgItemMessageW(dialog, control, WM_KEYUP, key, 0);
}

LRESULT Position(HWND dialog, int control) { return SendDlgItemMessageW(dialog, control, TBM_GETPOS, 0, 0); }

std::vector<std::wstring> ModeTexts(HWND dialog) {
    std::vector<std::wstring> texts;
    LRESULT count = SendDlgItemMessageW(dialog, IDC_DISPLAY_MODES, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        SendDlgItemMessageW(dialog, IDC_DISPLAY_MODES, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

std::wstring SelectedMode(HWND dialog) {
    LRESULT item = SendDlgItemMessageW(dialog, IDC_DISPLAY_MODES, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR) return L"(none)";
    wchar_t text[64] = {};
    SendDlgItemMessageW(dialog, IDC_DISPLAY_MODES, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text));
    return text;
}

HBITMAP ShownImage(HWND dialog, int control) {
    return reinterpret_cast<HBITMAP>(SendDlgItemMessageW(dialog, control, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// The colour the control shows at its centre, once it has painted.
COLORREF CentrePixel(HWND dialog, int control) {
    HWND window = GetDlgItem(dialog, control);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    HDC screen = GetDC(window);
    COLORREF colour = GetPixel(screen, client.right / 2, client.bottom / 2) & 0xFFFFFF;
    ReleaseDC(window, screen);
    return colour;
}

// Whether the picture control shows a bitmap of its own client size whose
// centre is grey of `level` (as the solid test pictures are).
::testing::AssertionResult ShowsPicture(HWND dialog, int control, BYTE level) {
    HBITMAP picture = ShownImage(dialog, control);
    BITMAP info;
    if (!picture || !GetObjectW(picture, sizeof info, &info)) return ::testing::AssertionFailure() << "no bitmap";
    RECT client;
    GetClientRect(GetDlgItem(dialog, control), &client);
    if (info.bmWidth != client.right || info.bmHeight != client.bottom)
        return ::testing::AssertionFailure() << "bitmap " << info.bmWidth << "x" << info.bmHeight << ", control "
                                             << client.right << "x" << client.bottom;
    COLORREF centre = CentrePixel(dialog, control);
    if (centre != RGB(level, level, level)) return ::testing::AssertionFailure() << "centre " << std::hex << centre;
    return ::testing::AssertionSuccess();
}

// Texts wider (or, wrapped, taller) than their controls leave for them, as
// "text (control id)".
std::vector<std::wstring> ClippedTexts(HWND dialog) {
    std::vector<std::wstring> clipped;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        std::wstring text = Text(control);
        wchar_t className[32] = {};
        GetClassNameW(control, className, 32);
        LONG style = GetWindowLongW(control, GWL_STYLE);
        RECT client;
        GetClientRect(control, &client);
        int room = client.right;
        UINT format = DT_CALCRECT | DT_SINGLELINE;
        if (lstrcmpiW(className, L"Button") == 0) {
            LONG kind = style & BS_TYPEMASK;
            if (kind == BS_GROUPBOX)
                room -= 16;
            else if (kind == BS_AUTOCHECKBOX || kind == BS_AUTORADIOBUTTON)
                room -= GetSystemMetrics(SM_CXMENUCHECK) + 6;
            else
                room -= 8;
        } else if (lstrcmpiW(className, L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_BITMAP) continue;
            format = DT_CALCRECT | DT_WORDBREAK | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        } else if (lstrcmpiW(className, L"ComboBox") == 0) {
            room -= GetSystemMetrics(SM_CXVSCROLL) + 6;
            for (const std::wstring& mode : ModeTexts(dialog))
                if (mode.size() > text.size()) text = mode;
        } else {
            continue;
        }
        if (text.empty()) continue;
        HDC dc = GetDC(control);
        HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        RECT needed = {0, 0, room, 0};
        DrawTextW(dc, text.c_str(), -1, &needed, format);
        SelectObject(dc, font);
        ReleaseDC(control, dc);
        if (needed.right > room || needed.bottom > client.bottom)
            clipped.push_back(text + L" (" + std::to_wstring(GetDlgCtrlID(control)) + L")");
    }
    return clipped;
}

// The About box over `dialog`, or null.
HWND OpenPopup(HWND dialog) {
    HWND popup = GetLastActivePopup(dialog);
    return popup != dialog ? popup : nullptr;
}

std::vector<std::wstring> gOpened;
bool RecordOpen(const std::wstring& address) {
    gOpened.push_back(address);
    return true;
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        path = "Software\\VORNHALT Studio\\ZAV Tests\\" + name;
        RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
        ASSERT_EQ(EngineInit(), kOk);
        renderer = new test::RecordingRenderer();
        for (const DisplayMode& mode : {Mode(0, 0, 32, false), Mode(640, 480, 16), Mode(800, 600, 32),
                                        Mode(800, 600, 32), Mode(1024, 768, 16), Mode(1280, 1024, 32),
                                        Mode(639, 479, 32)})
            renderer->AddMode(mode);
        renderer->SetDefaultMode(5);
        MakeRendererCurrent(renderer.Get());
        app = new DialogApp();
        ASSERT_EQ(app->LoadDefaultSettings(), kOk);
        ASSERT_EQ(app->ApplyDefaults(), kOk);
        ASSERT_EQ(app->LoadUiStrings(), kOk);
        app->SetRegistryPath(path.c_str());
        previousOpen = SetShellOpenFunction(RecordOpen);
        gOpened.clear();
    }
    void TearDown() override {
        SetShellOpenFunction(previousOpen);
        app = nullptr;
        MakeRendererCurrent(nullptr);
        renderer = nullptr;
        EXPECT_EQ(EngineShutdown(), kOk);
        RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
    }

    SettingsValues& Settings() { return app->GetSettings(); }

    // Shows the dialog and runs `steps` in it once it is up; a dialog the
    // steps leave open is ended with 99.
    INT_PTR RunDialog(std::function<void(HWND)> steps) {
        ++gDialogsShown;
        WhenShown([this] { return app->GetDialogWindow(); },
                  [steps](HWND dialog) {
                      steps(dialog);
                      // An ended dialog is hidden at once and destroyed when
                      // its loop ends.
                      if (IsWindowVisible(dialog)) EndDialog(dialog, 99);
                  });
        return app->ShowSettingsDialog();
    }

    bool ReadValue(const char* name, int32_t* value) {
        DWORD size = sizeof *value;
        return RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, value, &size) ==
               ERROR_SUCCESS;
    }
    int32_t Stored(const char* name) {
        int32_t value = -12345;
        EXPECT_TRUE(ReadValue(name, &value)) << name;
        return value;
    }
    void ExpectStoredMode(int32_t width, int32_t height, int32_t bits) {
        EXPECT_EQ(Stored("Width"), width);
        EXPECT_EQ(Stored("Height"), height);
        EXPECT_EQ(Stored("ColorDepth"), bits);
    }
    bool KeyExists() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    std::string path;
    Ref<test::RecordingRenderer> renderer;
    Ref<DialogApp> app;
    ShellOpenFunction previousOpen = nullptr;
};

TEST_F(SettingsDialogTest, ControlsStartFromTheSettings) {
    SettingsValues& settings = Settings();
    settings.flags[kShowFps] = true;
    settings.flags[kExitOnMouseMove] = false;
    settings.flags[kShowTime] = false;
    settings.flags[kUseDesktopSettings] = false;
    settings.flags[kMusic] = false;
    settings.flags[kSfx] = true;
    settings.flags[kHour24] = true;
    settings.numbers[kVolume] = 37;
    settings.numbers[kGamma] = -100;
    settings.numbers[kWidth] = 1024;
    settings.numbers[kHeight] = 768;
    settings.numbers[kColorDepth] = 16;
    EXPECT_EQ(RunDialog([](HWND dialog) {
                  EXPECT_EQ(Text(dialog), L"Night Harbor 3D Configuration");
                  EXPECT_EQ(ItemText(dialog, IDC_SOUND_GROUP), L"Sound Control");
                  EXPECT_EQ(ItemText(dialog, IDC_MUSIC), L"Enable &Music");
                  EXPECT_EQ(ItemText(dialog, IDC_RESTORE_DEFAULTS), L"&Restore Defaults");
                  EXPECT_EQ(ItemText(dialog, IDCANCEL), L"Cancel");
                  EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_GAMMA, TBM_GETRANGEMIN, 0, 0), -100);
                  EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_GAMMA, TBM_GETRANGEMAX, 0, 0), 100);
                  EXPECT_EQ(Position(dialog, IDC_GAMMA), -100);
                  EXPECT_EQ(ItemText(dialog, IDC_GAMMA_VALUE), L"0%");
                  EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_VOLUME, TBM_GETRANGEMAX, 0, 0), 100);
                  EXPECT_EQ(Position(dialog, IDC_VOLUME), 37);
                  EXPECT_TRUE(Checked(dialog, IDC_HOUR24));
                  EXPECT_FALSE(Checked(dialog, IDC_HOUR12));
                  EXPECT_FALSE(Checked(dialog, IDC_SHOW_TIME));
                  EXPECT_FALSE(Enabled(dialog, IDC_HOUR24));
                  EXPECT_FALSE(Enabled(dialog, IDC_HOUR12));
                  EXPECT_FALSE(Checked(dialog, IDC_MUSIC));
                  EXPECT_TRUE(Checked(dialog, IDC_SFX));
                  EXPECT_TRUE(Enabled(dialog, IDC_VOLUME));
                  EXPECT_TRUE(Enabled(dialog, IDC_VOLUME_LABEL));
                  EXPECT_TRUE(Checked(dialog, IDC_SHOW_FPS));
                  EXPECT_FALSE(Checked(dialog, IDC_EXIT_ON_MOUSE));
                  EXPECT_FALSE(Checked(dialog, IDC_USE_DESKTOP));
                  EXPECT_TRUE(Enabled(dialog, IDC_DISPLAY_MODES));
                  EXPECT_EQ(SelectedMode(dialog), L"1024x768x16bits");
                  Click(dialog, IDCANCEL);
              }),
              IDCANCEL);

    // The other way round.
    settings.flags[kShowTime] = true;
    settings.flags[kHour24] = false;
    settings.flags[kSfx] = false;
    settings.flags[kUseDesktopSettings] = true;
    settings.numbers[kGamma] = 100;
    EXPECT_EQ(RunDialog([](HWND dialog) {
                  EXPECT_EQ(ItemText(dialog, IDC_GAMMA_VALUE), L"200%");
                  EXPECT_TRUE(Checked(dialog, IDC_HOUR12));
                  EXPECT_TRUE(Enabled(dialog, IDC_HOUR24));
                  EXPECT_TRUE(Enabled(dialog, IDC_HOUR12));
                  EXPECT_FALSE(Enabled(dialog, IDC_VOLUME));
                  EXPECT_FALSE(Enabled(dialog, IDC_VOLUME_LABEL));
                  EXPECT_FALSE(Enabled(dialog, IDC_DISPLAY_MODES));
                  // Tab leads into the clock form at its checked button.
                  EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, IDC_HOUR24), GWL_STYLE) & WS_TABSTOP);
                  EXPECT_TRUE(GetWindowLongW(GetDlgItem(dialog, IDC_HOUR12), GWL_STYLE) & WS_TABSTOP);
                  Click(dialog, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_FALSE(KeyExists());
    EXPECT_EQ(app->GetDialogWindow(), nullptr);
}

TEST_F(SettingsDialogTest, ModeListHasOneEntryPerTextAndDesktopSettingsStillGiveOkTheDesktopMode) {
    Settings().flags[kUseDesktopSettings] = true;
    Settings().numbers[kWidth] = 800;
    Settings().numbers[kHeight] = 600;
    Settings().numbers[kColorDepth] = 32;
    EXPECT_EQ(RunDialog([](HWND dialog) {
                  EXPECT_EQ(ModeTexts(dialog), (std::vector<std::wstring>{L"640x480x16bits", L"800x600x32bits",
                                                                           L"1024x768x16bits",
                                                                           L"1280x1024x32bits"}));
                  EXPECT_FALSE(Enabled(dialog, IDC_DISPLAY_MODES));
                  EXPECT_EQ(SelectedMode(dialog), L"1280x1024x32bits");
                  Click(dialog, IDOK);
              }),
              IDOK);
    ExpectStoredMode(1280, 1024, 32);
    EXPECT_EQ(Stored("UseDesktopSettings"), 1);
}

TEST_F(SettingsDialogTest, ModeChosenInTheListIsWhatOkStoresEvenWithTheRendererGone) {
    Settings().flags[kUseDesktopSettings] = true;
    EXPECT_EQ(RunDialog([this](HWND dialog) {
                  Click(dialog, IDC_USE_DESKTOP);
                  EXPECT_TRUE(Enabled(dialog, IDC_DISPLAY_MODES));
                  SendDlgItemMessageW(dialog, IDC_DISPLAY_MODES, CB_SETCURSEL, 0, 0);
                  // The list holds its own copies of the modes.
                  MakeRendererCurrent(nullptr);
                  renderer = nullptr;
                  Click(dialog, IDOK);
              }),
              IDOK);
    ExpectStoredMode(640, 480, 16);
    EXPECT_EQ(Stored("UseDesktopSettings"), 0);
}

TEST_F(SettingsDialogTest, WithoutARendererTheListIsEmptyAndOkKeepsTheStoredMode) {
    MakeRendererCurrent(nullptr);
    Settings().flags[kUseDesktopSettings] = false;
    EXPECT_EQ(RunDialog([](HWND dialog) {
                  EXPECT_TRUE(ModeTexts(dialog).empty());
                  Click(dialog, IDOK);
              }),
              IDOK);
    ExpectStoredMode(800, 600, 32);
}

TEST_F(SettingsDialogTest, MusicAndSfxEnableTheVolumeAndShowTimeTheClockForm) {
    Settings().flags[kMusic] = true;
    Settings().flags[kSfx] = false;
    Settings().flags[kShowTime] = false;
    Settings().flags[kHour24] = false;
    EXPECT_EQ(RunDialog([this](HWND dialog) {
                  Click(dialog, IDC_MUSIC);
                  EXPECT_FALSE(Checked(dialog, IDC_MUSIC));
                  EXPECT_FALSE(Enabled(dialog, IDC_VOLUME));
                  EXPECT_FALSE(Enabled(dialog, IDC_VOLUME_LABEL));
                  Click(dialog, IDC_SFX);
                  EXPECT_TRUE(Enabled(dialog, IDC_VOLUME));
                  EXPECT_TRUE(Enabled(dialog, IDC_VOLUME_LABEL));
                  Click(dialog, IDC_SFX);
                  EXPECT_FALSE(Enabled(dialog, IDC_VOLUME));
                  Click(dialog, IDC_MUSIC);
                  EXPECT_TRUE(Enabled(dialog, IDC_VOLUME));
                  EXPECT_TRUE(Settings().Flag(kMusic));
                  EXPECT_FALSE(Settings().Flag(kSfx));

                  Click(dialog, IDC_SHOW_TIME);
                  EXPECT_TRUE(Enabled(dialog, IDC_HOUR24));
                  EXPECT_TRUE(Enabled(dialog, IDC_HOUR12));
                  Click(dialog, IDC_HOUR24);
                  EXPECT_TRUE(Settings().Flag(kHour24));
                  EXPECT_FALSE(Checked(dialog, IDC_HOUR12));
                  Click(dialog, IDC_HOUR12);
                  EXPECT_FALSE(Settings().Flag(kHour24));
                  Click(dialog, IDC_SHOW_TIME);
                  EXPECT_FALSE(Enabled(dialog, IDC_HOUR24));
                  EXPECT_FALSE(Settings().Flag(kShowTime));
                  Click(dialog, IDCANCEL);
              }),
              IDCANCEL);
}

TEST_F(SettingsDialogTest, TrackbarsMovedByKeysOrNotifyingChangeVolumeAndGamma) {
    Settings().numbers[kGamma] = 0;
    EXPECT_EQ(RunDialog([this](HWND dialog) {
                  EXPECT_EQ(ItemText(dialog, IDC_GAMMA_VALUE), L"100%");
                  // The thumb of 0 in -100..100 sits in the middle of the channel.
                  RECT thumb, channel;
                  SendDlgItemMessageW(dialog, IDC_GAMMA, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
                  SendDlgItemMessageW(dialog, IDC_GAMMA, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
                  EXPECT_NEAR(thumb.left + thumb.right, channel.left + channel.right, 6);
                  PressKey(dialog, IDC_GAMMA, VK_END);
                  EXPECT_EQ(Settings().Number(kGamma), 100);
                  EXPECT_EQ(ItemText(dialog, IDC_GAMMA_VALUE), L"200%");
                  PressKey(dialog, IDC_GAMMA, VK_HOME);
                  EXPECT_EQ(ItemText(dialog, IDC_GAMMA_VALUE), L"0%");
                  PressKey(dialog, IDC_VOLUME, VK_HOME);
                  EXPECT_EQ(Settings().Number(kVolume), 0);
                  // A notification from a trackbar takes its position too.
                  SendDlgItemMessageW(dialog, IDC_GAMMA, TBM_SETPOS, TRUE, 25);
                  NMHDR header = {GetDlgItem(dialog, IDC_GAMMA), IDC_GAMMA, NM_RELEASEDCAPTURE};
                  SendMessageW(dialog, WM_NOTIFY, IDC_GAMMA, reinterpret_cast<LPARAM>(&header));
                  EXPECT_EQ(Settings().Number(kGamma), 25);
                  EXPECT_EQ(ItemText(dialog, IDC_GAMMA_VALUE), L"125%");
                  Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(Stored("Gamma"), 25);
    EXPECT_EQ(Stored("Volume"), 0);
}

TEST_F(SettingsDialogTest, OkWritesEveryValueAndCancelNothing) {
    // Every control changed, then the dialog ended with `button`.
    auto changeAll = [](int button) {
        return [button](HWND dialog) {
            Click(dialog, IDC_SHOW_FPS);
            Click(dialog, IDC_EXIT_ON_MOUSE);
            Click(dialog, IDC_SHOW_TIME);
            Click(dialog, IDC_USE_DESKTOP);
            PressKey(dialog, IDC_VOLUME, VK_END);
            PressKey(dialog, IDC_GAMMA, VK_HOME);
            Click(dialog, IDC_MUSIC);
            Click(dialog, IDC_SFX);
            SendDlgItemMessageW(dialog, IDC_DISPLAY_MODES, CB_SETCURSEL, 2, 0);
            Click(dialog, button);
        };
    };
    Settings() = app->GetDefaultSettings();
    EXPECT_EQ(RunDialog(changeAll(IDCANCEL)), IDCANCEL);
    EXPECT_FALSE(KeyExists());

    Settings() = app->GetDefaultSettings();
    Settings().numbers[kAntiAliasing] = 4;
    EXPECT_EQ(RunDialog(changeAll(IDOK)), IDOK);
    const SettingsValues& defaults = app->GetDefaultSettings();
    EXPECT_EQ(Stored("ShowFPS"), defaults.Flag(kShowFps) ? 0 : 1);
    EXPECT_EQ(Stored("ExitOnMouseMove"), defaults.Flag(kExitOnMouseMove) ? 0 : 1);
    EXPECT_EQ(Stored("ShowTime"), defaults.Flag(kShowTime) ? 0 : 1);
    EXPECT_EQ(Stored("UseDesktopSettings"), defaults.Flag(kUseDesktopSettings) ? 0 : 1);
    EXPECT_EQ(Stored("Music"), defaults.Flag(kMusic) ? 0 : 1);
    EXPECT_EQ(Stored("SFX"), defaults.Flag(kSfx) ? 0 : 1);
    EXPECT_EQ(Stored("Hour24"), defaults.Flag(kHour24) ? 1 : 0);
    EXPECT_EQ(Stored("Volume"), 100);
    ExpectStoredMode(1024, 768, 16);
    EXPECT_EQ(Stored("AntiAliasing"), 4);
    EXPECT_EQ(Stored("Gamma"), -100);
}

TEST_F(SettingsDialogTest, RestoreDefaultsResetsTheControlsAndWritesNothingUntilOk) {
    Settings().flags[kShowFps] = true;
    Settings().numbers[kVolume] = 3;
    Settings().numbers[kGamma] = -70;
    ASSERT_EQ(app->WriteRegistrySettings(), kOk);
    const SettingsValues& defaults = app->GetDefaultSettings();
    ASSERT_FALSE(defaults.Flag(kShowFps));
    auto restore = [&](HWND dialog) {
        Click(dialog, IDC_RESTORE_DEFAULTS);
        EXPECT_FALSE(Checked(dialog, IDC_SHOW_FPS));
        EXPECT_EQ(Position(dialog, IDC_VOLUME), defaults.Number(kVolume));
        EXPECT_EQ(Position(dialog, IDC_GAMMA), defaults.Number(kGamma));
        EXPECT_EQ(ItemText(dialog, IDC_GAMMA_VALUE), std::to_wstring(defaults.Number(kGamma) + 100) + L"%");
        EXPECT_EQ(Checked(dialog, IDC_USE_DESKTOP), defaults.Flag(kUseDesktopSettings));
        EXPECT_EQ(Stored("ShowFPS"), 1);
        EXPECT_EQ(Stored("Volume"), 3);
    };
    EXPECT_EQ(RunDialog([&](HWND dialog) {
                  restore(dialog);
                  Click(dialog, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_EQ(Stored("ShowFPS"), 1);
    EXPECT_EQ(Stored("Gamma"), -70);

    Settings().numbers[kVolume] = 3;
    EXPECT_EQ(RunDialog([&](HWND dialog) {
                  restore(dialog);
                  Click(dialog, IDOK);
              }),
              IDOK);
    EXPECT_EQ(Stored("ShowFPS"), 0);
    EXPECT_EQ(Stored("Volume"), defaults.Number(kVolume));
    EXPECT_EQ(Stored("Gamma"), defaults.Number(kGamma));
}

TEST_F(SettingsDialogTest, FirstRefreshOfTheProcessMovesTheDialogOnTheDesktopMode) {
    if (gDialogsShown > 0) GTEST_SKIP() << "needs a process of its own (ctest runs each test alone)";
    // The desktop mode is 1280 x 1024: ((1280 - 530) >> 1, (1024 - 440) >> 1).
    RunDialog([](HWND dialog) {
        RECT frame;
        GetWindowRect(dialog, &frame);
        EXPECT_EQ(frame.left, 375);
        EXPECT_EQ(frame.top, 292);
        SetWindowPos(dialog, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Click(dialog, IDC_RESTORE_DEFAULTS);  // refreshes again: no move
        GetWindowRect(dialog, &frame);
        EXPECT_EQ(frame.left, 10);
        EXPECT_EQ(frame.top, 20);
        Click(dialog, IDCANCEL);
    });
    RunDialog([](HWND dialog) {
        RECT frame;
        GetWindowRect(dialog, &frame);
        EXPECT_NE(frame.left, 375);  // centred by the template instead
        Click(dialog, IDCANCEL);
    });
}

TEST_F(SettingsDialogTest, VisitOpensTheSiteAddress) {
    EXPECT_EQ(RunDialog([](HWND dialog) {
                  Click(dialog, IDC_VISIT);
                  Click(dialog, IDCANCEL);
              }),
              IDCANCEL);
    EXPECT_EQ(gOpened, (std::vector<std::wstring>{L"https://www.vornhalt-studio.example/"}));

    test::LogCapture capture;
    SetShellOpenFunction([](const std::wstring&) { return false; });
    RunDialog([](HWND dialog) {
        Click(dialog, IDC_VISIT);
        EXPECT_TRUE(IsWindowVisible(dialog));  // a failure keeps the dialog open
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно открыть адрес [https://www.vornhalt-studio.example/]."));
}

TEST_F(SettingsDialogTest, AboutShowsItsTextsAndLogoCentredOverTheSettingsDialog) {
    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "logo.bmp", test::SolidBmp(90, 18, '\x30')));
    const int temporaryBefore = test::CountTemporaryPictures();
    HBITMAP logo = nullptr;
    bool shown = false;
    RunDialog([&](HWND dialog) {
        WhenShown([dialog] { return OpenPopup(dialog); }, [&](HWND about) {
            shown = true;
            EXPECT_EQ(Text(about), L"About");
            EXPECT_EQ(ItemText(about, IDOK), L"OK");
            EXPECT_EQ(ItemText(about, IDC_ABOUT_LINE1), L"Night Harbor 3D Screensaver");
            EXPECT_EQ(ItemText(about, IDC_ABOUT_LINE1 + 7), L"https://www.vornhalt-studio.example/");
            for (int i = 0; i < IDC_ABOUT_LINE_COUNT; ++i) EXPECT_NE(ItemText(about, IDC_ABOUT_LINE1 + i), L"");
            EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
            RECT outer, inner;
            GetWindowRect(dialog, &outer);
            GetWindowRect(about, &inner);
            EXPECT_NEAR(inner.left + inner.right, outer.left + outer.right, 1);
            EXPECT_NEAR(inner.top + inner.bottom, outer.top + outer.bottom, 1);
            for (int i = 0; i < 3; ++i) RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
            logo = ShownImage(about, IDC_ABOUT_LOGO);
            EXPECT_TRUE(ShowsPicture(about, IDC_ABOUT_LOGO, 0x30));
            EXPECT_EQ(test::CountTemporaryPictures(), temporaryBefore + 1);
            EXPECT_EQ(ShownImage(about, IDC_ABOUT_LOGO), logo);  // painted again, not loaded again
            // Escape closes the box as OK does.
            SendMessageW(about, WM_COMMAND, IDCANCEL, 0);
        });
        Click(dialog, IDC_ABOUT);
        EXPECT_TRUE(IsWindowVisible(dialog));
        Click(dialog, IDCANCEL);
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(test::CountTemporaryPictures(), temporaryBefore);
    EXPECT_EQ(GetObjectType(logo), 0u) << "the logo bitmap is not freed";
}

TEST_F(SettingsDialogTest, SettingsPictureIsWrittenOnceAndLeavesNoFileOrBitmapBehind) {
    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "settings.bmp", test::SolidBmp(50, 96, '\x50')));
    const int temporaryBefore = test::CountTemporaryPictures();
    const DWORD objectsBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    test::LogCapture capture;
    HBITMAP picture = nullptr;
    for (int run = 0; run < 2; ++run) {
        RunDialog([&](HWND dialog) {
            picture = ShownImage(dialog, IDC_SETTINGS_PICTURE);
            EXPECT_TRUE(ShowsPicture(dialog, IDC_SETTINGS_PICTURE, 0x50));
            for (int i = 0; i < 5; ++i) {
                RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
                PressKey(dialog, IDC_VOLUME, VK_RIGHT);  // notifications
            }
            EXPECT_EQ(ShownImage(dialog, IDC_SETTINGS_PICTURE), picture);
            EXPECT_EQ(test::CountTemporaryPictures(), temporaryBefore + 1);
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(test::CountTemporaryPictures(), temporaryBefore);
        EXPECT_EQ(GetObjectType(picture), 0u) << "the picture bitmap is not freed";
    }
    // Where the system counts GDI objects (Wine does not), they are as before.
    if (objectsBefore != 0) {
        EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objectsBefore);
    }
    for (const auto& line : capture.Lines()) EXPECT_EQ(line.level, kLogInfo) << line.text;
}

TEST_F(SettingsDialogTest, MissingOrDamagedPictureLeavesTheFrameEmptyAndIsReportedOnce) {
    test::LogCapture capture;
    RunDialog([](HWND dialog) {
        for (int i = 0; i < 3; ++i)
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_EQ(ShownImage(dialog, IDC_SETTINGS_PICTURE), nullptr);
        Click(dialog, IDCANCEL);
    });
    int missing = 0;
    for (const std::string& text : capture.Texts()) missing += text == "Не найден файл данных [settings.bmp].";
    EXPECT_EQ(missing, 1);

    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "settings.bmp", "not a picture"));
    const int temporaryBefore = test::CountTemporaryPictures();
    capture.Clear();
    RunDialog([&](HWND dialog) {
        for (int i = 0; i < 3; ++i)
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_EQ(ShownImage(dialog, IDC_SETTINGS_PICTURE), nullptr);
        EXPECT_EQ(test::CountTemporaryPictures(), temporaryBefore);
        Click(dialog, IDCANCEL);
    });
    int damaged = 0;
    for (const std::string& text : capture.Texts()) damaged += text == "Невозможно загрузить картинку [settings.bmp].";
    EXPECT_EQ(damaged, 1);
}

// Run by ctest a second time under a Russian user locale (ZAV_EXPECT_RUSSIAN).
TEST_F(SettingsDialogTest, EveryTextFitsItsControl) {
    const bool russian = std::getenv("ZAV_EXPECT_RUSSIAN") != nullptr;
    renderer->AddMode(Mode(1920, 1200, 32));  // the widest text a list may hold
    RunDialog([&](HWND dialog) {
        EXPECT_EQ(Text(dialog).rfind(russian ? L"Настройка" : L"Night Harbor", 0), 0u) << Text(dialog);
        EXPECT_EQ(ClippedTexts(dialog), std::vector<std::wstring>());
        WhenShown([dialog] { return OpenPopup(dialog); }, [](HWND about) {
            EXPECT_EQ(ClippedTexts(about), std::vector<std::wstring>());
            EndDialog(about, IDOK);
        });
        Click(dialog, IDC_ABOUT);
        Click(dialog, IDCANCEL);
    });
}

}  // namespace
}  // namespace zav
