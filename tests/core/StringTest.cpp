#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "engine/core/String.h"

namespace zav {
namespace {

TEST(String, EmptyStringIsTerminated) {
    String empty;
    EXPECT_EQ(empty.Length(), 0);
    ASSERT_NE(empty.CStr(), nullptr);
    EXPECT_EQ(empty.CStr()[0], '\0');
    EXPECT_TRUE(String(nullptr).IsEmpty());
}

TEST(String, KeepsEmbeddedZerosAndTerminates) {
    const char bytes[] = {'a', '\0', 'b'};
    String text(bytes, 3);
    EXPECT_EQ(text.Length(), 3);
    EXPECT_EQ(text[2], 'b');
    EXPECT_EQ(text.CStr()[3], '\0');
    EXPECT_NE(text, String("a"));
}

TEST(String, OrdersByLengthThenBytes) {
    EXPECT_TRUE(String("zz") < String("aaa"));
    EXPECT_TRUE(String("ab") < String("ac"));
    EXPECT_FALSE(String("ac") < String("ab"));
    // Bytes compare unsigned: a Cyrillic letter sorts after ASCII.
    EXPECT_TRUE(String("a") < String("Я"));
    EXPECT_FALSE(String("Abc") == String("abc"));
}

TEST(String, MovedFromStringIsUsableAndEmpty) {
    String source("moved");
    String target(std::move(source));
    EXPECT_EQ(target, "moved");
    EXPECT_EQ(source.Length(), 0);  // NOLINT: checking the moved-from state on purpose
    EXPECT_EQ(source.CStr()[0], '\0');
    source = "again";
    EXPECT_EQ(source, "again");
    String other;
    other = std::move(target);
    EXPECT_EQ(other, "moved");
    target.Append("x", 1);
    EXPECT_EQ(target, "x");
}

TEST(String, AppendAndFormat) {
    String text("ab");
    text.Append(String("cd"));
    text.Append(nullptr, 5);
    EXPECT_EQ(text, "abcd");
    std::string longText(3000, 'q');
    String formatted = String::Format("%s-%d", longText.c_str(), 7);
    EXPECT_EQ(formatted.Length(), 3002);
    EXPECT_EQ(std::string(formatted.CStr()), longText + "-7");
}

TEST(String, NegativeLengthGivesEmptyString) {
    String text("abc", -4);
    EXPECT_TRUE(text.IsEmpty());
    text.Assign("xyz", -1);
    EXPECT_TRUE(text.IsEmpty());
}

}  // namespace
}  // namespace zav
