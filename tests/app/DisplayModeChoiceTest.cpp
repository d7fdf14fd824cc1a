#include <gtest/gtest.h>

#include <vector>

#include "app/DisplayModeChoice.h"
#include "tests/support/DisplayModes.h"

namespace zav {
namespace {

using test::Mode;
using test::Wanted;

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
