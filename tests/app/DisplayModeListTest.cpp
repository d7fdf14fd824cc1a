#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/DisplayModeList.h"
#include "tests/support/DisplayModes.h"

namespace zav {
namespace {

using test::Mode;
using test::Wanted;

std::vector<std::string> Texts(const DisplayModeList& list) {
    std::vector<std::string> texts;
    for (const DisplayModeEntry& entry : list.entries) texts.push_back(entry.text);
    return texts;
}

// As the device lists them: every size once per depth-buffer format, so
// sizes and colour depths repeat; windowed records have no size.
const std::vector<DisplayMode> kModes = {
    Mode(0, 0, 32, false), Mode(640, 479, 32),  Mode(639, 480, 32), Mode(640, 480, 16), Mode(800, 600, 32),
    Mode(1024, 768, 32),   Mode(800, 600, 32),
    Mode(1024, 768, 32),  // the desktop mode, a repeat of entry 2
    Mode(1280, 1024, 16),
};
constexpr int32_t kDesktop = 7;

TEST(DisplayModeList, OneEntryPerTextForFullScreenModesOf640x480AndMore) {
    DisplayModeList list = ListDialogModes(kModes, kDesktop, Wanted(800, 600, 32, false));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"640x480x16bits", "800x600x32bits", "1024x768x32bits",
                                                      "1280x1024x16bits"}));
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(list.entries[3].width, 1280);
    EXPECT_EQ(list.entries[3].height, 1024);
    EXPECT_EQ(list.entries[3].colorBits, 16);
}

TEST(DisplayModeList, DesktopSettingsSelectTheDesktopModesEntryEvenWhenItRepeatsAnEarlierMode) {
    EXPECT_EQ(ListDialogModes(kModes, kDesktop, Wanted(800, 600, 32, true)).selected, 2);
    EXPECT_EQ(ListDialogModes(kModes, 4, Wanted(1280, 1024, 16, true)).selected, 1);
    // No desktop mode, or one the list leaves out: nothing is selected.
    EXPECT_EQ(ListDialogModes(kModes, -1, Wanted(800, 600, 32, true)).selected, -1);
    EXPECT_EQ(ListDialogModes(kModes, 0, Wanted(800, 600, 32, true)).selected, -1);
    EXPECT_EQ(ListDialogModes(kModes, 99, Wanted(800, 600, 32, true)).selected, -1);
}

TEST(DisplayModeList, WithoutDesktopSettingsTheStoredSizeAndDepthAreSelectedOrNothing) {
    EXPECT_EQ(ListDialogModes(kModes, kDesktop, Wanted(1280, 1024, 16, false)).selected, 3);
    EXPECT_EQ(ListDialogModes(kModes, kDesktop, Wanted(1280, 1024, 32, false)).selected, -1);
    EXPECT_EQ(ListDialogModes(kModes, kDesktop, Wanted(640, 479, 32, false)).selected, -1);
    DisplayModeList empty = ListDialogModes({}, -1, Wanted(800, 600, 32, false));
    EXPECT_TRUE(empty.entries.empty());
    EXPECT_EQ(empty.selected, -1);
}

}  // namespace
}  // namespace zav
