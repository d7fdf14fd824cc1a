#pragma once

#include <string>

namespace zav::platform {

// Conversions between UTF-8 and Windows-1251, the engine's text code page.
// Characters without a Windows-1251 form become '?'; bytes that have no
// character (0x98) and malformed UTF-8 become U+FFFD and '?' respectively.
std::string Utf8ToWindows1251(const std::string& utf8);
std::string Windows1251ToUtf8(const std::string& text);

}  // namespace zav::platform
