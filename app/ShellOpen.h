#pragma once

#include <string>

#include "engine/core/String.h"

namespace zav {

// Opens `address` (a web page) with the shell's "open" verb in a normal
// window; a failure is logged. False when the shell could not open it.
bool OpenWithShell(const String& address);

// What opens the address, as UTF-16; true on success. Tests put their own in
// place of the shell; null puts the shell back. Returns the one it replaces
// (null for the shell).
using ShellOpenFunction = bool (*)(const std::wstring& address);
ShellOpenFunction SetShellOpenFunction(ShellOpenFunction function);

}  // namespace zav
