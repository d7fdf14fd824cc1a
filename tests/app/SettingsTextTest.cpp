#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/Settings.h"

namespace zav {
namespace {

std::vector<std::string> AllLines(const std::string& text) {
    SettingsText lines(text.data(), text.size());
    std::vector<std::string> result;
    std::string_view line;
    while (lines.NextLine(&line)) result.emplace_back(line);
    return result;
}

std::pair<std::string, std::string> Split(std::string_view line) {
    std::string_view key, value;
    SplitSettingLine(line, &key, &value);
    return {std::string(key), std::string(value)};
}

TEST(SettingsText, CommentsAndBlankLinesAreSkipped) {
    std::string text = "; first comment\r\n; second comment\r\n\r\n\r\nVolume = 50; Громкость музыки\r\n"
                       "\r\nWidth = 800\r\n";
    EXPECT_EQ(AllLines(text), (std::vector<std::string>{"Volume = 50", "Width = 800"}));
}

TEST(SettingsText, LastLineWithoutLineEndAndUnterminatedText) {
    EXPECT_EQ(AllLines("A = 1\r\nB = 2"), (std::vector<std::string>{"A = 1", "B = 2"}));
    EXPECT_EQ(AllLines("; only a comment"), std::vector<std::string>{});
    EXPECT_EQ(AllLines(""), std::vector<std::string>{});
    EXPECT_EQ(AllLines("\n\n\r"), std::vector<std::string>{});
    // The text is not zero-terminated: reading stops at its length.
    std::string padded = "K = v\r\nZ = 9";
    SettingsText lines(padded.data(), 5);
    std::string_view line;
    ASSERT_TRUE(lines.NextLine(&line));
    EXPECT_EQ(line, "K = v");
    EXPECT_FALSE(lines.NextLine(&line));
}

TEST(SettingsText, SplitAtTheFirstSpacedEquals) {
    EXPECT_EQ(Split("Volume = 50"), std::make_pair(std::string("Volume"), std::string("50")));
    EXPECT_EQ(Split("Key = "), std::make_pair(std::string("Key"), std::string()));
    EXPECT_EQ(Split("Key=Value"), std::make_pair(std::string(), std::string()));
    EXPECT_EQ(Split("A = B = C"), std::make_pair(std::string("A"), std::string("B = C")));
    EXPECT_EQ(Split("RegistryPath = Software\\\\Maker\\\\Product"),
              std::make_pair(std::string("RegistryPath"), std::string("Software\\\\Maker\\\\Product")));
}

TEST(SettingsText, KeyFollowedByCommentHasEmptyValue) {
    std::vector<std::string> lines = AllLines("Music = ;comment\r\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Split(lines[0]), std::make_pair(std::string("Music"), std::string()));
}

TEST(SettingsText, IntegersParseLikeScanf) {
    int32_t value = 123;
    EXPECT_TRUE(ParseSettingInteger("50", &value));
    EXPECT_EQ(value, 50);
    EXPECT_TRUE(ParseSettingInteger("  -7 ", &value));
    EXPECT_EQ(value, -7);
    EXPECT_TRUE(ParseSettingInteger("0.3", &value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(ParseSettingInteger("99999999999", &value));
    EXPECT_EQ(value, INT32_MAX);
    value = 5;
    EXPECT_FALSE(ParseSettingInteger("", &value));
    EXPECT_FALSE(ParseSettingInteger("abc", &value));
    EXPECT_FALSE(ParseSettingInteger("-", &value));
    EXPECT_EQ(value, 5);
}

TEST(SettingsValues, DefaultsBeforeTheResourceAndClamping) {
    SettingsValues values;
    EXPECT_FALSE(values.Flag(kShowFps));
    EXPECT_TRUE(values.Flag(kExitOnMouseMove));
    EXPECT_TRUE(values.Flag(kHour24));
    EXPECT_EQ(values.Number(kVolume), 80);
    EXPECT_EQ(values.Number(kGamma), 100);
    EXPECT_EQ(ClampSettingNumber(kVolume, 250), 100);
    EXPECT_EQ(ClampSettingNumber(kVolume, -1), 0);
    EXPECT_EQ(ClampSettingNumber(kGamma, -4000000000LL), -100);
    EXPECT_EQ(ClampSettingNumber(kGamma, 101), 100);
    EXPECT_EQ(ClampSettingNumber(kWidth, 1920), 1920);
    EXPECT_EQ(ClampSettingNumber(kWidth, 5000000000LL), INT32_MAX);
}

TEST(UiStrings, HashIgnoresTheFirstByteAndHandlesShortKeys) {
    UiStringKeyHash hash;
    EXPECT_EQ(hash(String("")), 0u);
    EXPECT_EQ(hash(String("A")), 0u);
    EXPECT_EQ(hash(String("Ab")), hash(String("Zb")));
    EXPECT_EQ(hash(String("xbc")), (static_cast<uint32_t>('c') << 2) | 'b');
}

TEST(UiStrings, FirstTextWinsAndLookupIsCaseSensitive) {
    UiStringTable table;
    EXPECT_TRUE(table.Insert("AppName", "First"));
    EXPECT_FALSE(table.Insert("AppName", "Second"));
    EXPECT_TRUE(table.Insert("", "empty key"));
    ASSERT_NE(table.Find("AppName"), nullptr);
    EXPECT_EQ(*table.Find("AppName"), "First");
    EXPECT_EQ(table.Find("appname"), nullptr);
    EXPECT_NE(table.Find(""), nullptr);
}

}  // namespace
}  // namespace zav
