#include "engine/input/KeyTranslation.h"

#include <array>

namespace zav {

namespace {

struct KeyPair {
    uint8_t virtualKey;
    uint8_t code;
};

// Virtual-key codes as the platform numbers them.
constexpr KeyPair kSingleKeys[] = {
    {0x08, 38},  // Backspace
    {0x09, 98},  // Tab
    {0x0D, 47},  // Enter
    {0x13, 86},  // Pause
    {0x14, 40},  // Caps Lock
    {0x1B, 49},  // Escape
    {0x20, 97},  // Space
    {0x21, 87},  // Page Up
    {0x22, 72},  // Page Down
    {0x23, 46},  // End
    {0x24, 63},  // Home
    {0x25, 67},  // Left
    {0x26, 99},  // Up
    {0x27, 91},  // Right
    {0x28, 45},  // Down
    {0x2C, 88},  // Print Screen
    {0x2D, 64},  // Insert
    {0x2E, 42},  // Delete
    {0x6A, 71},  // keypad *
    {0x6B, 36},  // keypad +
    {0x6D, 85},  // keypad -
    {0x6E, 84},  // keypad .
    {0x6F, 43},  // keypad /
    {0x90, 73},  // Num Lock
    {0x91, 94},  // Scroll Lock
    {0xA0, 69},  // left Shift
    {0xA1, 93},  // right Shift
    {0xA2, 66},  // left Control
    {0xA3, 90},  // right Control
    {0xA4, 68},  // left Alt
    {0xA5, 92},  // right Alt
    {0xBA, 95},  // ;
    {0xBB, 48},  // =
    {0xBC, 41},  // ,
    {0xBD, 70},  // -
    {0xBE, 44},  // .
    {0xBF, 96},  // /
    {0xC0, 62},  // `
    {0xDB, 65},  // [
    {0xDC, 39},  // backslash
    {0xDD, 89},  // ]
    {0xDE, 37},  // quote
};

struct KeyRange {
    uint8_t firstVirtualKey;
    uint8_t lastVirtualKey;
    uint8_t firstCode;
};

constexpr KeyRange kKeyRanges[] = {
    {'0', '9', 0},    // digits
    {'A', 'Z', 10},   // letters
    {0x70, 0x7B, 50}, // F1-F12
    {0x60, 0x69, 74}, // keypad 0-9
};

constexpr std::array<uint8_t, 256> BuildTable() {
    std::array<uint8_t, 256> table{};
    for (auto& code : table) code = kKeyOther;
    for (const KeyRange& range : kKeyRanges)
        for (int key = range.firstVirtualKey; key <= range.lastVirtualKey; ++key)
            table[key] = static_cast<uint8_t>(range.firstCode + (key - range.firstVirtualKey));
    for (const KeyPair& pair : kSingleKeys) table[pair.virtualKey] = pair.code;
    return table;
}

constexpr std::array<uint8_t, 256> kKeyTable = BuildTable();

}  // namespace

int32_t TranslateVirtualKey(uint32_t virtualKey) {
    return virtualKey < kKeyTable.size() ? kKeyTable[virtualKey] : kKeyOther;
}

}  // namespace zav
