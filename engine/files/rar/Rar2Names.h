#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zav::rar2 {

// The name of an entry in the engine's code page (Windows-1251), at most
// kMaxNameBytes bytes, from the name field of its file header. Without
// `unicode` the field holds the name itself, up to a zero byte. With it the
// field holds either UTF-8 (no zero byte) or a code-page name, a zero byte
// and the name in the format's compact UTF-16 encoding.
std::string DecodeEntryName(const uint8_t* field, size_t size, bool unicode);

// The name field for a UTF-8 name. A pure ASCII name is stored as it is and
// the result is false. Any other name is stored as its code-page form, a zero
// byte and its compact UTF-16 encoding, and the result is true: the header
// then needs the flag kFileUnicodeName.
bool EncodeEntryName(const std::string& utf8, std::string* field);

}  // namespace zav::rar2
