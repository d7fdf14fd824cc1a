// The settings dialog: shows the current settings, edits them and writes
// them to the registry on OK.
#include "app/AboutDialog.h"
#include "app/DialogTexts.h"
#include "app/ScreensaverApp.h"
#include "app/ShellOpen.h"
#include "app/WideText.h"
#include "app/res/resource_ids.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"

#include <commctrl.h>
#include <cstdio>

namespace zav {

namespace {

const ControlTextKey kSettingsTexts[] = {
    {IDOK, "Mes_Button_OK"},
    {IDCANCEL, "Mes_Button_Cancel"},
    {IDC_MODE_GROUP, "Mes_Settings_Box_Mode"},
    {IDC_USE_DESKTOP, "Mes_Settings_UseDesktop"},
    {IDC_SOUND_GROUP, "Mes_Settings_Box_Sound"},
    {IDC_VOLUME_LABEL, "Mes_Settings_MusicVolume"},
    {IDC_MUSIC, "Mes_Settings_EnableMusic"},
    {IDC_SFX, "Mes_Settings_EnableSound"},
    {IDC_GRAPHICS_GROUP, "Mes_Settings_Box_Graphics"},
    {IDC_GAMMA_LABEL, "Mes_Settings_Gamma"},
    {IDC_MISC_GROUP, "Mes_Settings_Box_Misc"},
    {IDC_SHOW_FPS, "Mes_Settings_ShowFPS"},
    {IDC_EXIT_ON_MOUSE, "Mes_Settings_ExitOnMouse"},
    {IDC_SHOW_TIME, "Mes_Settings_ShowTime"},
    {IDC_HOUR24, "Mes_Settings_24h"},
    {IDC_HOUR12, "Mes_Settings_12h"},
    {IDC_PRODUCTS_GROUP, "Mes_Settings_Box_Products"},
    {IDC_PRODUCTS_TEXT, "Mes_Settings_Products"},
    {IDC_VISIT, "Mes_Settings_Button_Visit"},
    {IDC_ABOUT, "Mes_Settings_Button_About"},
    {IDC_RESTORE_DEFAULTS, "Mes_Settings_Button_RestoreDefs"},
};

// The size the first refresh centres the dialog for on the desktop mode, at
// 96 dots per inch.
constexpr int kCentredWidth = 530;
constexpr int kCentredHeight = 440;
// Only the first refresh of the process moves the dialog.
bool gDialogMoved = false;

bool IsChecked(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED; }

void Enable(HWND dialog, int control, bool enabled) { EnableWindow(GetDlgItem(dialog, control), enabled); }

LRESULT SendTo(HWND dialog, int control, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageW(dialog, control, message, wParam, lParam);
}

// Some trackbars place their thumb anew only when the position changes, not
// when the range does: the position passes through the lowest value first.
void SetTrackbar(HWND dialog, int control, int32_t low, int32_t high, int32_t position) {
    SendTo(dialog, control, TBM_SETRANGEMIN, FALSE, low);
    SendTo(dialog, control, TBM_SETRANGEMAX, FALSE, high);
    SendTo(dialog, control, TBM_SETPOS, FALSE, low);
    SendTo(dialog, control, TBM_SETPOS, TRUE, position);
}

void ShowGamma(HWND dialog, int32_t gamma) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%d%%", static_cast<int>(gamma) + 100);
    SetDlgItemTextW(dialog, IDC_GAMMA_VALUE, text);
}

void EnableVolume(HWND dialog, const SettingsValues& settings) {
    bool sound = settings.Flag(kMusic) || settings.Flag(kSfx);
    Enable(dialog, IDC_VOLUME, sound);
    Enable(dialog, IDC_VOLUME_LABEL, sound);
}

// Checks the radio button of the clock form; Tab leads to the checked one.
void ShowHourForm(HWND dialog, bool hour24) {
    CheckRadioButton(dialog, IDC_HOUR12, IDC_HOUR24, hour24 ? IDC_HOUR24 : IDC_HOUR12);
    for (int control : {IDC_HOUR24, IDC_HOUR12}) {
        HWND button = GetDlgItem(dialog, control);
        LONG style = GetWindowLongW(button, GWL_STYLE);
        bool checked = (control == IDC_HOUR24) == hour24;
        SetWindowLongW(button, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

void EnableHourForm(HWND dialog, bool showTime) {
    Enable(dialog, IDC_HOUR24, showTime);
    Enable(dialog, IDC_HOUR12, showTime);
}

void SetCheck(HWND dialog, int control, bool checked) {
    CheckDlgButton(dialog, control, checked ? BST_CHECKED : BST_UNCHECKED);
}

// Moves the dialog, unchanged in size, to centre a box of the centred size
// on the desktop mode. The box is sized for 96 dots per inch and grows with
// the display's scale as the dialog does (the process is DPI aware, so the
// desktop mode and the dialog both count physical pixels).
void MoveOnDesktop(HWND dialog, const DisplayMode& desktop) {
    int dpi = 96;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    int width = MulDiv(kCentredWidth, dpi, 96), height = MulDiv(kCentredHeight, dpi, 96);
    SetWindowPos(dialog, nullptr, (desktop.width - width) >> 1, (desktop.height - height) >> 1, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FillModeList(HWND dialog, const DisplayModeList& list) {
    SendTo(dialog, IDC_DISPLAY_MODES, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < list.entries.size(); ++i) {
        std::wstring text = Utf8ToWide(list.entries[i].text);
        LRESULT item = SendTo(dialog, IDC_DISPLAY_MODES, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (item >= 0) SendTo(dialog, IDC_DISPLAY_MODES, CB_SETITEMDATA, static_cast<WPARAM>(item), i);
    }
    SendTo(dialog, IDC_DISPLAY_MODES, CB_SETCURSEL, static_cast<WPARAM>(list.selected), 0);
}

}  // namespace

INT_PTR ScreensaverApp::ShowSettingsDialog() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    INT_PTR result =
        DialogBoxParamW(instance_, MAKEINTRESOURCEW(IDD_SETTINGS), parentWindow_, SettingsDialogProc, 0);
    if (result == 0 || result == -1)
        LogError("Невозможно показать диалог настроек. Код ошибки [%lu].", GetLastError());
    dialogWindow_ = nullptr;
    dialogModes_ = DisplayModeList();
    return result;
}

INT_PTR CALLBACK ScreensaverApp::SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return theApp ? theApp->OnSettingsDialogMessage(dialog, message, wParam, lParam) : FALSE;
}

void ScreensaverApp::RefreshSettingsDialog(HWND dialog) {
    SetTrackbar(dialog, IDC_GAMMA, -100, 100, current_.Number(kGamma));
    ShowGamma(dialog, current_.Number(kGamma));
    SetTrackbar(dialog, IDC_VOLUME, 0, 100, current_.Number(kVolume));

    ShowHourForm(dialog, current_.Flag(kHour24));
    SetCheck(dialog, IDC_SHOW_TIME, current_.Flag(kShowTime));
    EnableHourForm(dialog, current_.Flag(kShowTime));
    SetCheck(dialog, IDC_MUSIC, current_.Flag(kMusic));
    SetCheck(dialog, IDC_SFX, current_.Flag(kSfx));
    EnableVolume(dialog, current_);
    SetCheck(dialog, IDC_SHOW_FPS, current_.Flag(kShowFps));
    SetCheck(dialog, IDC_EXIT_ON_MOUSE, current_.Flag(kExitOnMouseMove));
    SetCheck(dialog, IDC_USE_DESKTOP, current_.Flag(kUseDesktopSettings));
    Enable(dialog, IDC_DISPLAY_MODES, !current_.Flag(kUseDesktopSettings));

    // The list is a copy: its entries outlive nothing of the renderer's.
    Renderer* renderer = GetRenderer();
    const std::vector<DisplayMode> none;
    const std::vector<DisplayMode>& modes = renderer ? renderer->GetModes() : none;
    const int32_t desktop = renderer ? renderer->GetDefaultMode() : -1;
    if (!gDialogMoved && desktop >= 0 && static_cast<size_t>(desktop) < modes.size()) {
        MoveOnDesktop(dialog, modes[static_cast<size_t>(desktop)]);
        gDialogMoved = true;
    }
    dialogModes_ = ListDialogModes(modes, desktop, current_);
    FillModeList(dialog, dialogModes_);
    OnSettingsDialogRefreshed();
}

void ScreensaverApp::ReadTrackbar(HWND dialog, int control) {
    if (control != IDC_VOLUME && control != IDC_GAMMA) return;
    auto position = static_cast<int32_t>(SendTo(dialog, control, TBM_GETPOS, 0, 0));
    if (control == IDC_VOLUME) {
        current_.numbers[kVolume] = ClampSettingNumber(kVolume, position);
    } else {
        current_.numbers[kGamma] = ClampSettingNumber(kGamma, position);
        ShowGamma(dialog, current_.Number(kGamma));
    }
}

INT_PTR ScreensaverApp::OnSettingsDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetDialogTexts(dialog, *this, "Mes_Settings_Title", kSettingsTexts,
                           sizeof kSettingsTexts / sizeof kSettingsTexts[0]);
            SendTo(dialog, IDC_VOLUME, TBM_SETTICFREQ, 10, 0);
            SendTo(dialog, IDC_GAMMA, TBM_SETTICFREQ, 20, 0);
            dialogWindow_ = dialog;
            RefreshSettingsDialog(dialog);
            break;
        case WM_NOTIFY:
            if (lParam) ReadTrackbar(dialog, static_cast<int>(reinterpret_cast<const NMHDR*>(lParam)->idFrom));
            break;
        case WM_HSCROLL:
            // Moves by mouse and keys; WM_NOTIFY alone misses a move that
            // does not repaint the trackbar.
            if (lParam) ReadTrackbar(dialog, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && OnSettingsCommand(dialog, LOWORD(wParam))) return TRUE;
            break;
        default:
            break;
    }
    return SettingsDialogExtra(dialog, message, wParam, lParam);
}

bool ScreensaverApp::OnSettingsCommand(HWND dialog, int control) {
    switch (control) {
        case IDOK: {
            LRESULT item = SendTo(dialog, IDC_DISPLAY_MODES, CB_GETCURSEL, 0, 0);
            LRESULT entry = item == CB_ERR ? CB_ERR : SendTo(dialog, IDC_DISPLAY_MODES, CB_GETITEMDATA, item, 0);
            if (entry >= 0 && static_cast<size_t>(entry) < dialogModes_.entries.size()) {
                const DisplayModeEntry& mode = dialogModes_.entries[static_cast<size_t>(entry)];
                current_.numbers[kWidth] = mode.width;
                current_.numbers[kHeight] = mode.height;
                current_.numbers[kColorDepth] = mode.colorBits;
            }
            WriteRegistrySettings();  // a failure is logged; the dialog closes all the same
            EndDialog(dialog, IDOK);
            return true;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return true;
        case IDC_VOLUME:
            ReadTrackbar(dialog, IDC_VOLUME);
            break;
        case IDC_MUSIC:
        case IDC_SFX: {
            bool on = IsChecked(dialog, control);
            current_.flags[control == IDC_MUSIC ? kMusic : kSfx] = on;
            SetCheck(dialog, control, on);
            EnableVolume(dialog, current_);
            break;
        }
        case IDC_SHOW_FPS:
            current_.flags[kShowFps] = IsChecked(dialog, control);
            break;
        case IDC_EXIT_ON_MOUSE:
            current_.flags[kExitOnMouseMove] = IsChecked(dialog, control);
            break;
        case IDC_HOUR12:
            current_.flags[kHour24] = !IsChecked(dialog, IDC_HOUR12);
            ShowHourForm(dialog, current_.Flag(kHour24));
            break;
        case IDC_HOUR24:
            current_.flags[kHour24] = IsChecked(dialog, IDC_HOUR24);
            ShowHourForm(dialog, current_.Flag(kHour24));
            break;
        case IDC_SHOW_TIME:
            current_.flags[kShowTime] = IsChecked(dialog, control);
            EnableHourForm(dialog, current_.Flag(kShowTime));
            break;
        case IDC_USE_DESKTOP: {
            bool on = IsChecked(dialog, control);
            current_.flags[kUseDesktopSettings] = on;
            SetCheck(dialog, control, on);
            Enable(dialog, IDC_DISPLAY_MODES, !on);
            break;
        }
        case IDC_VISIT:
            OpenWithShell(siteAddress_);
            break;
        case IDC_ABOUT:
            ShowAboutDialog(instance_, dialog);
            break;
        case IDC_RESTORE_DEFAULTS:
            ApplyDefaults();
            RefreshSettingsDialog(dialog);
            break;
        default:
            break;
    }
    return false;
}

}  // namespace zav
