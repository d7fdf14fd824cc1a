#include "app/AboutDialog.h"

#include "app/DialogPicture.h"
#include "app/DialogTexts.h"
#include "app/ScreensaverApp.h"
#include "app/res/resource_ids.h"
#include "engine/core/Log.h"

namespace zav {

namespace {

const ControlTextKey kAboutTexts[] = {
    {IDOK, "Mes_Button_OK"},
    {IDC_ABOUT_LINE1 + 0, "Mes_About_String1"},
    {IDC_ABOUT_LINE1 + 1, "Mes_About_String2"},
    {IDC_ABOUT_LINE1 + 2, "Mes_About_String3"},
    {IDC_ABOUT_LINE1 + 3, "Mes_About_String4"},
    {IDC_ABOUT_LINE1 + 4, "Mes_About_String5"},
    {IDC_ABOUT_LINE1 + 5, "Mes_About_String6"},
    {IDC_ABOUT_LINE1 + 6, "Mes_About_String7"},
    {IDC_ABOUT_LINE1 + 7, "Mes_About_String8"},
};

// Places `box` so that its centre is the centre of `over`.
void CentreOver(HWND box, HWND over) {
    RECT outer, inner;
    if (!GetWindowRect(over, &outer) || !GetWindowRect(box, &inner)) return;
    int x = outer.left + ((outer.right - outer.left) - (inner.right - inner.left)) / 2;
    int y = outer.top + ((outer.bottom - outer.top) - (inner.bottom - inner.top)) / 2;
    SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* logo = reinterpret_cast<DialogPicture*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            if (theApp) {
                SetDialogTexts(dialog, *theApp, "Mes_About_Title", kAboutTexts,
                               sizeof kAboutTexts / sizeof kAboutTexts[0]);
                if (HWND settings = theApp->GetDialogWindow()) CentreOver(dialog, settings);
            }
            return TRUE;
        case WM_PAINT:
            if (logo) logo->ShowIn(GetDlgItem(dialog, IDC_ABOUT_LOGO));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            if (logo) logo->Release(GetDlgItem(dialog, IDC_ABOUT_LOGO));
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR ShowAboutDialog(HINSTANCE instance, HWND owner) {
    DialogPicture logo("logo.bmp");
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutDialogProc,
                                     reinterpret_cast<LPARAM>(&logo));
    if (result == 0 || result == -1) LogError("Невозможно показать диалог [О программе]. Код ошибки [%lu].", GetLastError());
    return result;
}

}  // namespace zav
