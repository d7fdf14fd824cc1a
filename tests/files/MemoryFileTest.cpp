#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/MemoryFile.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

char* Copy(const std::string& bytes) {
    char* copy = new char[bytes.size() + 1];
    std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

TEST(MemoryFile, OpensItsSourceAgainAndAgain) {
    MemoryFile file("a.bin");
    ASSERT_EQ(file.SetSource(Copy("abcd"), 4), kOk);
    EXPECT_EQ(file.GetSize(), 4);  // closed: the source size
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(file.Open(kFileRead), kOk);
        EXPECT_EQ(file.GetSize(), 4);
        char bytes[4] = {};
        EXPECT_EQ(file.Read(bytes, 4), kOk);
        EXPECT_EQ(std::string(bytes, 4), "abcd");
        EXPECT_EQ(file.Close(), kOk);
    }
}

// One failed read must not poison the member for every later open.
TEST(MemoryFile, EveryOpenStartsAFreshStream) {
    MemoryFile file("a.bin");
    file.SetSource(Copy("ab"), 2);
    ASSERT_EQ(file.Open(kFileRead), kOk);
    int32_t value = 0;
    EXPECT_NE(file.ReadInt32(value), kOk);
    file.Close();
    ASSERT_EQ(file.Open(kFileRead), kOk);
    int16_t shortValue = 0;
    EXPECT_EQ(file.ReadInt16(shortValue), kOk);
}

TEST(MemoryFile, IsReadOnly) {
    test::LogCapture capture;
    MemoryFile file("a.bin");
    file.SetSource(Copy("ab"), 2);
    EXPECT_EQ(file.Write("x", 1), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Запись в закрытый файл [a.bin]."));
    capture.Clear();
    EXPECT_EQ(file.Open(kFileWrite), kFailed);
    EXPECT_EQ(file.Open(kFileAppend), kFailed);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(capture.Lines().empty());
    ASSERT_EQ(file.Open(kFileRead), kOk);
    EXPECT_EQ(file.Write("x", 1), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Запись в файл [a.bin], открытый для чтения."));
}

TEST(MemoryFile, EmptyAndMissingSources) {
    test::LogCapture capture;
    MemoryFile file("a.bin");
    EXPECT_EQ(file.Open(kFileRead), kFailed);  // no source yet
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_TRUE(capture.Has(kLogWarning, "Файл [a.bin] не может быть открыть для чтения."));

    ASSERT_EQ(file.SetSource(nullptr, 0), kOk);
    ASSERT_EQ(file.Open(kFileRead), kOk);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Read(nullptr, 0), kOk);
    int8_t byte = 0;
    EXPECT_NE(file.ReadInt8(byte), kOk);
    file.Close();

    char* bytes = Copy("abc");
    EXPECT_EQ(file.SetSource(bytes, -1), kFailed);
    EXPECT_EQ(file.SetSource(nullptr, 3), kFailed);
    EXPECT_EQ(file.GetSourceSize(), 0);  // the empty source stays
    EXPECT_TRUE(file.HasSource());
    delete[] bytes;  // a refused source stays the caller's

    file.ClearSource();
    EXPECT_EQ(file.Open(kFileRead), kFailed);
}

TEST(MemoryFile, ABorrowedSourceIsReadButNotFreed) {
    static const char resource[] = "resource bytes";
    {
        MemoryFile file("r.bin");
        ASSERT_EQ(file.SetBorrowedSource(resource, 8), kOk);
        ASSERT_EQ(file.Open(kFileRead), kOk);
        EXPECT_EQ(std::string(file.GetData(), 8), "resource");
        EXPECT_NE(file.GetData(), resource);  // read from a copy
    }
    EXPECT_STREQ(resource, "resource bytes");  // and freeing a static array would have crashed
}

}  // namespace
}  // namespace zav
