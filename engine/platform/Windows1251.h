#pragma once

#include <cstdint>
#include <string>

namespace zav::platform {

// Conversions between UTF-8 and Windows-1251, the engine's text code page.
// Characters without a Windows-1251 form become '?'; bytes that have no
// character (0x98) and malformed UTF-8 become U+FFFD and '?' respectively.
std::string Utf8ToWindows1251(const std::string& utf8);
std::string Windows1251ToUtf8(const std::string& text);

// One character: its Windows-1251 byte, or '?' when the code page lacks it.
char CodePointToWindows1251(uint32_t codePoint);
// The code points of UTF-8 text; malformed sequences become U+FFFD.
std::u32string Utf8ToCodePoints(const std::string& utf8);

}  // namespace zav::platform
