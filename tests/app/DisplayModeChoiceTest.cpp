#include <gtest/gtest.h>

#include <vector>

#include "app/DisplayModeChoice.h"

namespace zav {
namespace {

DisplayMode Mode(int32_t width, int32_t height, int32_t bits, bool fullScreen = true) {
    DisplayMode mode;
    mode.width = width;
    mode.height = height;
    mode.colorBits = bits;
    mode.fullScreen = fullScreen;
    return mode;
}

SettingsValues Wanted(int32_t width, int32_t height, int32_t bits, bool useDesktop = false) {
    SettingsValues settings;
    settings.flags[kUseDesktopSettings] = useDesktop;
    settings.numbers[kWidth] = width;
    settings.numbers[kHeight] = height;
    settings.numbers[kColorDepth] = bits;
    return settings;
}

const std::vector<DisplayMode> kModes = {
    Mode(0, 0, 32, false),  // windowed record
    Mode(639, 479, 32), Mode(640, 480, 16), Mode(640, 480, 32), Mode(800, 600, 32), Mode(800, 600, 32),
    Mode(1024, 768, 32),
};
constexpr int32_t kDesktop = 6;

TEST(DisplayModeChoice, DesktopSettingsWinOverAMatchingMode) {
    EXPECT_EQ(ChooseDisplayMode(kModes, kDesktop, Wanted(800, 600, 32, true)), kDesktop);
    EXPECT_EQ(ChooseDisplayMode(kModes, -1, Wanted(800, 600, 32, true)), -1);
}

TEST(DisplayModeChoice, FirstFullScreenMatchOfSizeAndDepth) {
    EXPECT_EQ(ChooseDisplayMode(kModes, kDesktop, Wanted(800, 600, 32)), 4);
    EXPECT_EQ(ChooseDisplayMode(kModes, kDesktop, Wanted(640, 480, 16)), 2);
    EXPECT_EQ(ChooseDisplayMode(kModes, kDesktop, Wanted(640, 480, 32)), 3);
}

TEST(DisplayModeChoice, TooSmallOrUnmatchedFallsBackToTheDesktopMode) {
    EXPECT_EQ(ChooseDisplayMode(kModes, kDesktop, Wanted(639, 479, 32)), kDesktop);
    EXPECT_EQ(ChooseDisplayMode(kModes, kDesktop, Wanted(800, 600, 16)), kDesktop);
    EXPECT_EQ(ChooseDisplayMode(kModes, kDesktop, Wanted(0, 0, 32)), kDesktop);  // windowed record never chosen
    EXPECT_EQ(ChooseDisplayMode(kModes, -1, Wanted(1280, 1024, 32)), -1);
    EXPECT_EQ(ChooseDisplayMode(kModes, 99, Wanted(1280, 1024, 32)), -1);
    EXPECT_EQ(ChooseDisplayMode({}, -1, Wanted(800, 600, 32)), -1);
}

}  // namespace
}  // namespace zav
