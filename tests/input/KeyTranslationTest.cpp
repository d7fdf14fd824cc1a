#include <gtest/gtest.h>

#include <map>

#include "engine/input/KeyTranslation.h"

namespace zav {
namespace {

TEST(KeyTranslation, RangesAndNamedKeys) {
    EXPECT_EQ(TranslateVirtualKey('0'), 0);
    EXPECT_EQ(TranslateVirtualKey('9'), 9);
    EXPECT_EQ(TranslateVirtualKey('A'), 10);
    EXPECT_EQ(TranslateVirtualKey('Z'), 35);
    EXPECT_EQ(TranslateVirtualKey(0x70), 50);  // F1
    EXPECT_EQ(TranslateVirtualKey(0x7B), 61);  // F12
    EXPECT_EQ(TranslateVirtualKey(0x60), 74);  // keypad 0
    EXPECT_EQ(TranslateVirtualKey(0x69), 83);  // keypad 9
    EXPECT_EQ(TranslateVirtualKey(0x1B), 49);  // Escape
    EXPECT_EQ(TranslateVirtualKey(0x20), 97);  // Space
    EXPECT_EQ(TranslateVirtualKey(0xA0), 69);  // left Shift
    EXPECT_EQ(TranslateVirtualKey(0xA5), 92);  // right Alt
    EXPECT_EQ(TranslateVirtualKey(0xDE), 37);  // quote
}

TEST(KeyTranslation, GenericModifiersAndUnknownKeysGiveOther) {
    EXPECT_EQ(TranslateVirtualKey(0x10), kKeyOther);  // Shift
    EXPECT_EQ(TranslateVirtualKey(0x11), kKeyOther);  // Control
    EXPECT_EQ(TranslateVirtualKey(0x12), kKeyOther);  // Alt
    EXPECT_EQ(TranslateVirtualKey(0x7C), kKeyOther);  // F13
    EXPECT_EQ(TranslateVirtualKey(0xFF), kKeyOther);
    EXPECT_EQ(TranslateVirtualKey(256), kKeyOther);
    EXPECT_EQ(TranslateVirtualKey(0xFFFFFFFFu), kKeyOther);
}

TEST(KeyTranslation, EveryEngineCodeBelongsToExactlyOneKey) {
    std::map<int32_t, int> uses;
    for (uint32_t key = 0; key < 256; ++key) ++uses[TranslateVirtualKey(key)];
    for (int32_t code = 0; code < kKeyOther; ++code) EXPECT_EQ(uses[code], 1) << "engine key code " << code;
    EXPECT_EQ(uses.size(), 101u);
}

}  // namespace
}  // namespace zav
