#include <gtest/gtest.h>

#include "app/RunEndingRule.h"

namespace zav {
namespace {

const InputEvent kMove{kDeviceMouse, kActionMoved, 10, 20};
const InputEvent kKeyPress{kDeviceKeyboard, kActionPressed, 49, 0};
const InputEvent kKeyRelease{kDeviceKeyboard, kActionReleased, 49, 0};
const InputEvent kButtonPress{kDeviceMouse, kActionPressed, 1, 0};
const InputEvent kButtonRelease{kDeviceMouse, kActionReleased, 0, 0};
const InputEvent kWindowClosed{kDeviceWindow, kActionClosed, 0, 0};

TEST(RunEndingRule, WithoutExitOnMouseMoveOnlyPressesAndClosingEndTheRun) {
    RunEndingRule rule;
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(rule.EndsRun(kMove, false));
    EXPECT_EQ(rule.MouseMoveAllowance(), 10);
    EXPECT_FALSE(rule.EndsRun(kKeyRelease, false));
    EXPECT_FALSE(rule.EndsRun(kButtonRelease, false));
    EXPECT_FALSE(rule.EndsRun(InputEvent{kDeviceWindow, kActionClosed, 1, 0}, false));
    EXPECT_TRUE(rule.EndsRun(kKeyPress, false));
    EXPECT_TRUE(rule.EndsRun(kButtonPress, false));
    EXPECT_TRUE(rule.EndsRun(kWindowClosed, false));
}

TEST(RunEndingRule, TenMovesAreToleratedTheEleventhEndsAndTheAllowanceNeverComesBack) {
    RunEndingRule rule;
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(rule.EndsRun(kMove, true)) << "move " << i + 1;
    EXPECT_TRUE(rule.EndsRun(kKeyPress, true));
    EXPECT_FALSE(rule.EndsRun(kKeyRelease, true));
    EXPECT_TRUE(rule.EndsRun(kMove, true));
    EXPECT_TRUE(rule.EndsRun(kMove, true));
    EXPECT_EQ(rule.MouseMoveAllowance(), -2);
}

}  // namespace
}  // namespace zav
