#include "app/DialogTexts.h"

#include <string>
#include <vector>

#include "app/AccessKeys.h"
#include "app/ScreensaverApp.h"
#include "app/WideText.h"

namespace zav {

namespace {

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// A static control that shows '&' as itself.
bool ShowsTextAsItIs(HWND control) {
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    return lstrcmpiW(className, L"Static") == 0 && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX);
}

}  // namespace

void SetDialogTexts(HWND dialog, const ScreensaverApp& app, const char* titleKey, const ControlTextKey* controls,
                    size_t count) {
    if (const String* title = app.GetUiString(titleKey)) SetWindowTextW(dialog, ToWide(*title).c_str());
    std::vector<HWND> labelled;
    std::vector<ControlLabel> labels;
    for (size_t i = 0; i < count; ++i) {
        HWND control = GetDlgItem(dialog, controls[i].id);
        if (!control) continue;
        const String* text = app.GetUiString(controls[i].key);
        if (ShowsTextAsItIs(control)) {
            if (text) SetWindowTextW(control, ToWide(*text).c_str());
            continue;
        }
        std::wstring designed = WindowText(control);
        labelled.push_back(control);
        labels.push_back({designed, text ? ToWide(*text) : WithoutAccessKey(designed)});
    }
    std::vector<std::wstring> texts = WithAccessKeys(labels);
    for (size_t i = 0; i < labelled.size(); ++i) SetWindowTextW(labelled[i], texts[i].c_str());
}

}  // namespace zav
