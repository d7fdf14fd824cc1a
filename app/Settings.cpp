#include "app/Settings.h"

#include <cctype>
#include <limits>

namespace zav {

const char* const kSettingFlagKeys[kSettingFlagCount] = {
    "ShowFPS", "ExitOnMouseMove", "ShowTime", "UseDesktopSettings", "Music", "SFX", "Hour24",
};

const char* const kSettingNumberKeys[kSettingNumberCount] = {
    "Volume", "Width", "Height", "ColorDepth", "AntiAliasing", "Gamma",
};

int32_t ClampSettingNumber(SettingNumber number, int64_t value) {
    int64_t low = std::numeric_limits<int32_t>::min();
    int64_t high = std::numeric_limits<int32_t>::max();
    if (number == kVolume) {
        low = 0;
        high = 100;
    } else if (number == kGamma) {
        low = -100;
        high = 100;
    }
    return static_cast<int32_t>(value < low ? low : value > high ? high : value);
}

bool SettingsText::NextLine(std::string_view* line) {
    for (;;) {
        while (position_ < length_ && (text_[position_] == '\r' || text_[position_] == '\n')) ++position_;
        if (position_ >= length_) return false;
        if (text_[position_] == ';') {
            while (position_ < length_ && text_[position_] != '\r' && text_[position_] != '\n') ++position_;
            continue;
        }
        size_t start = position_;
        while (position_ < length_ && text_[position_] != '\r' && text_[position_] != '\n' &&
               text_[position_] != ';')
            ++position_;
        *line = std::string_view(text_ + start, position_ - start);
        return true;
    }
}

void SplitSettingLine(std::string_view line, std::string_view* key, std::string_view* value) {
    size_t separator = line.find(" = ");
    if (separator == std::string_view::npos) {
        *key = std::string_view();
        *value = std::string_view();
        return;
    }
    *key = line.substr(0, separator);
    *value = line.substr(separator + 3);
}

bool ParseSettingInteger(std::string_view text, int32_t* value) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    int64_t magnitude = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1) break;
    }
    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int32_t>::max()) signedValue = std::numeric_limits<int32_t>::max();
    if (signedValue < std::numeric_limits<int32_t>::min()) signedValue = std::numeric_limits<int32_t>::min();
    *value = static_cast<int32_t>(signedValue);
    return true;
}

uint32_t UiStringKeyHash::operator()(const String& key) const {
    // Bytes from the last down to the second; the first byte is not used.
    uint32_t hash = 0;
    for (int32_t i = key.Length() - 1; i >= 1; --i) hash = (hash << 2) | static_cast<unsigned char>(key[i]);
    return hash;
}

}  // namespace zav
