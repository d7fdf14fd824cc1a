#include "engine/files/rar/Rar2Names.h"

#include <cstring>

#include "engine/files/LittleEndian.h"
#include "engine/files/rar/Rar2Format.h"
#include "engine/platform/Windows1251.h"

namespace zav::rar2 {

namespace {

// More UTF-16 units than any usable name has.
constexpr size_t kMaxNameUnits = 1024;

// UTF-16 units to the code page, pairing surrogates.
std::string Utf16ToWindows1251(const std::u16string& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00u);
            ++i;
        }
        out += platform::CodePointToWindows1251(c);
    }
    return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    for (char32_t c : platform::Utf8ToCodePoints(text)) {
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Limited(std::string name) {
    if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
    return name;
}

// The compact encoding: a high byte, then groups of a flag byte (four
// two-bit operations, highest first) and their data. 0: one byte with high
// byte 0; 1: one byte with the shared high byte; 2: a whole UTF-16 unit;
// 3: a run taken from the code-page name, optionally with a correction.
std::u16string DecodeCompact(const uint8_t* plain, size_t plainSize, const uint8_t* enc, size_t size) {
    std::u16string out;
    if (size == 0) return out;
    size_t pos = 0;
    uint32_t high = static_cast<uint32_t>(enc[pos++]) << 8;
    uint32_t flags = 0;
    int flagBits = 0;
    auto plainAt = [&](size_t i) -> uint32_t { return i < plainSize ? plain[i] : 0; };
    while (pos < size && out.size() < kMaxNameUnits) {
        if (flagBits == 0) {
            flags = enc[pos++];
            flagBits = 8;
            if (pos >= size) break;
        }
        switch (flags >> 6) {
            case 0:
                out += static_cast<char16_t>(enc[pos++]);
                break;
            case 1:
                out += static_cast<char16_t>(enc[pos++] | high);
                break;
            case 2:
                if (pos + 1 >= size) return out;
                out += static_cast<char16_t>(ReadLittle16(enc + pos));
                pos += 2;
                break;
            default: {
                uint32_t run = enc[pos++];
                if (run & 0x80) {
                    if (pos >= size) return out;
                    uint32_t correction = enc[pos++];
                    for (run = (run & 0x7F) + 2; run > 0 && out.size() < kMaxNameUnits; --run)
                        out += static_cast<char16_t>(((plainAt(out.size()) + correction) & 0xFF) | high);
                } else {
                    for (run += 2; run > 0 && out.size() < kMaxNameUnits; --run)
                        out += static_cast<char16_t>(plainAt(out.size()));
                }
                break;
            }
        }
        flags = (flags << 2) & 0xFF;
        flagBits -= 2;
    }
    return out;
}

}  // namespace

std::string DecodeEntryName(const uint8_t* field, size_t size, bool unicode) {
    const void* zero = std::memchr(field, 0, size);
    size_t plainSize = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - field) : size;
    std::string plain(reinterpret_cast<const char*>(field), plainSize);
    if (!unicode) return Limited(plain);
    if (!zero) return Limited(platform::Utf8ToWindows1251(plain));
    std::u16string units = DecodeCompact(field, plainSize, field + plainSize + 1, size - plainSize - 1);
    if (units.empty()) return Limited(plain);
    return Limited(Utf16ToWindows1251(units));
}

bool EncodeEntryName(const std::string& utf8, std::string* field) {
    bool ascii = true;
    for (char c : utf8)
        if (static_cast<uint8_t>(c) >= 0x80) ascii = false;
    if (ascii) {
        *field = utf8;
        return false;
    }
    std::u16string units = Utf8ToUtf16(utf8);
    // The shared high byte: the most frequent non-zero one.
    uint32_t highCount[256] = {};
    for (char16_t unit : units) ++highCount[unit >> 8];
    uint32_t high = 1;
    for (uint32_t h = 1; h < 256; ++h)
        if (highCount[h] > highCount[high]) high = h;

    *field = platform::Utf8ToWindows1251(utf8);
    *field += '\0';
    *field += static_cast<char>(high);
    for (size_t i = 0; i < units.size(); i += 4) {
        uint32_t flags = 0;
        std::string data;
        for (size_t k = 0; k < 4; ++k) {
            uint32_t op = 0;
            if (i + k < units.size()) {
                uint32_t unit = units[i + k];
                if ((unit >> 8) == 0) {
                    op = 0;
                    data += static_cast<char>(unit);
                } else if ((unit >> 8) == high) {
                    op = 1;
                    data += static_cast<char>(unit & 0xFF);
                } else {
                    op = 2;
                    data += static_cast<char>(unit & 0xFF);
                    data += static_cast<char>(unit >> 8);
                }
            }
            flags |= op << (6 - 2 * k);
        }
        *field += static_cast<char>(flags);
        *field += data;
    }
    return true;
}

}  // namespace zav::rar2
