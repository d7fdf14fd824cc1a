#include <gtest/gtest.h>

#include <string>

#include "engine/platform/Windows1251.h"

namespace zav::platform {
namespace {

TEST(Windows1251, RussianTextRoundTrips) {
    // The literal is compiled to Windows-1251 bytes.
    std::string cp1251 = "Конец лога.";
    std::string utf8 = Windows1251ToUtf8(cp1251);
    EXPECT_EQ(utf8, "\xD0\x9A\xD0\xBE\xD0\xBD\xD0\xB5\xD1\x86 \xD0\xBB\xD0\xBE\xD0\xB3\xD0\xB0.");
    EXPECT_EQ(Utf8ToWindows1251(utf8), cp1251);
}

TEST(Windows1251, EveryMappedByteRoundTrips) {
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == 0x98) continue;  // unassigned in the code page
        std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(Utf8ToWindows1251(Windows1251ToUtf8(one)), one) << "byte " << byte;
    }
}

TEST(Windows1251, UnmappableAndMalformedInputBecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToWindows1251("\xE4\xB8\xAD"), "?");        // a CJK character
    EXPECT_EQ(Utf8ToWindows1251("a\xC3"), "a?");              // truncated sequence
    EXPECT_EQ(Utf8ToWindows1251("\xFF" "b"), "?b");           // invalid lead byte
    EXPECT_EQ(Utf8ToWindows1251("\xD0" "b"), "?b");           // missing continuation
    EXPECT_EQ(Windows1251ToUtf8("\x98"), "\xEF\xBF\xBD");     // no character: U+FFFD
}

}  // namespace
}  // namespace zav::platform
