#pragma once

#include <string>

#include "engine/core/String.h"

namespace zav {

// The engine's Windows-1251 text as UTF-16 for the wide Windows functions.
std::wstring ToWide(const String& text);
// A UTF-8 path (as the platform layer hands them out) as UTF-16.
std::wstring Utf8ToWide(const std::string& text);

}  // namespace zav
