#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/core/HashTable.h"
#include "engine/core/String.h"

namespace zav {

// The user settings: seven on/off flags and six numbers, in the order the
// settings text, the registry and the log list them.
enum SettingFlag : int {
    kShowFps,
    kExitOnMouseMove,
    kShowTime,
    kUseDesktopSettings,
    kMusic,
    kSfx,
    kHour24,
    kSettingFlagCount
};

enum SettingNumber : int {
    kVolume,
    kWidth,
    kHeight,
    kColorDepth,
    kAntiAliasing,
    kGamma,
    kSettingNumberCount
};

extern const char* const kSettingFlagKeys[kSettingFlagCount];
extern const char* const kSettingNumberKeys[kSettingNumberCount];

struct SettingsValues {
    bool flags[kSettingFlagCount] = {false, true, true, true, true, true, true};
    int32_t numbers[kSettingNumberCount] = {80, 800, 600, 32, 0, 100};

    bool Flag(SettingFlag flag) const { return flags[flag]; }
    int32_t Number(SettingNumber number) const { return numbers[number]; }
};

// Keeps a stored number inside the range the program can use: Volume 0..100,
// Gamma -100..100; the others pass unchanged.
int32_t ClampSettingNumber(SettingNumber number, int64_t value);

// The settings and UI-string texts: lines of "key = value", optional "; comment"
// tails, comment lines starting with ';', CR LF line ends. The text is not
// zero-terminated; every read stays inside `length`.
class SettingsText {
public:
    SettingsText(const char* text, size_t length) : text_(text), length_(length) {}

    // Returns the next line without its comment, or false at the end.
    bool NextLine(std::string_view* line);

private:
    const char* text_;
    size_t length_;
    size_t position_ = 0;
};

// Splits at the first " = ". A line without it yields an empty key and value.
void SplitSettingLine(std::string_view line, std::string_view* key, std::string_view* value);

// Parses a decimal integer as scanf "%d" would (leading blanks, sign, digits,
// anything after the digits ignored). False when there is no number.
bool ParseSettingInteger(std::string_view text, int32_t* value);

// The UI-string table: key -> text, 32 chained buckets; the first text
// inserted for a key wins.
struct UiStringKeyHash {
    uint32_t operator()(const String& key) const;
};
using UiStringTable = ChainedTable<String, String, UiStringKeyHash>;

}  // namespace zav
