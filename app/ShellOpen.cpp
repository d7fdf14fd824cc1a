#include "app/ShellOpen.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include "app/WideText.h"
#include "engine/core/Log.h"

namespace zav {

namespace {

ShellOpenFunction gShellOpen = nullptr;

bool OpenThroughTheShell(const std::wstring& address) {
    // Results above 32 are success.
    auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

}  // namespace

ShellOpenFunction SetShellOpenFunction(ShellOpenFunction function) {
    ShellOpenFunction previous = gShellOpen;
    gShellOpen = function;
    return previous;
}

bool OpenWithShell(const String& address) {
    std::wstring wide = ToWide(address);
    bool opened = gShellOpen ? gShellOpen(wide) : OpenThroughTheShell(wide);
    if (!opened) LogWarning("Невозможно открыть адрес [%s].", address.CStr());
    return opened;
}

}  // namespace zav
