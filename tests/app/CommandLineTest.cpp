#include <gtest/gtest.h>

#include <ostream>

#include "app/CommandLine.h"

namespace zav {
namespace {

struct Case {
    const char* line;
    int32_t mode;
    bool hasParent;
    uint32_t parent;
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << '[' << c.line << ']'; }

class SelectModeTest : public ::testing::TestWithParam<Case> {};

TEST_P(SelectModeTest, ReadsModeAndParent) {
    const Case& c = GetParam();
    ModeSelection selection = SelectMode(c.line);
    EXPECT_EQ(selection.mode, c.mode) << c.line;
    EXPECT_EQ(selection.hasParent, c.hasParent) << c.line;
    if (c.hasParent) {
        EXPECT_EQ(selection.parentWindow, c.parent) << c.line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SelectModeTest,
    ::testing::Values(
        // Only the program name, quoted or not: configure, no parent.
        Case{"saver.scr", kModeConfigure, false, 0}, Case{"\"C:\\Program Files\\saver.scr\"", kModeConfigure, false, 0},
        Case{"", kModeConfigure, false, 0},
        Case{"saver.scr /s", kModeScreensaver, false, 0}, Case{"saver.scr /S", kModeScreensaver, false, 0},
        Case{"saver.scr /p 1234", kModePreview, true, 1234}, Case{"saver.scr -P:1234", kModePreview, true, 1234},
        Case{"saver.scr /c", kModeConfigure, false, 0}, Case{"saver.scr /c:5678", kModeConfigure, true, 5678},
        Case{"saver.scr /", kModeScreensaver, false, 0}, Case{"saver.scr /t", kModeTest, false, 0},
        Case{"saver.scr /a 5", kModePassword, true, 5}, Case{"saver.scr /x", kModeScreensaver, false, 0},
        // A quoted path with spaces, '-' and '/' is skipped whole.
        Case{"\"C:\\my-saver dir\\a/b.scr\" /p 77", kModePreview, true, 77},
        Case{"\"C:\\my-saver dir\\a/b.scr\"", kModeConfigure, false, 0},
        // An unquoted path runs to the first space.
        Case{"C:\\saver-x.scr /s", kModeScreensaver, false, 0},
        // The number is the first run of digits after the letter.
        Case{"saver.scr /p window 42 and 7", kModePreview, true, 42},
        // Window numbers: the whole 32-bit range is accepted, more is no window.
        Case{"saver.scr /p 4294967295", kModePreview, true, 4294967295u},
        Case{"saver.scr /p 4294967296", kModePreview, false, 0},
        Case{"saver.scr /p 99999999999999999999999", kModePreview, false, 0},
        Case{"saver.scr /p 0", kModePreview, false, 0}, Case{"saver.scr /p", kModePreview, false, 0},
        // An unterminated quote swallows the whole line.
        Case{"\"saver.scr /s", kModeConfigure, false, 0}));

}  // namespace
}  // namespace zav
