#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/core/Log.h"
#include "engine/platform/Platform.h"

namespace zav {
namespace {

TEST(PlatformWin32, FindsTheExecutablesOwnResources) {
    platform::Blob blob;
    ASSERT_TRUE(platform::FindBlob("MEDIADATA", 1001, &blob));
    ASSERT_EQ(blob.size, 11u);
    EXPECT_EQ(std::memcmp(blob.data, "blob bytes", 10), 0);
    EXPECT_FALSE(platform::FindBlob("MEDIADATA", 999, &blob));
    EXPECT_FALSE(platform::FindBlob("NOSUCHTYPE", 1001, &blob));
}

TEST(PlatformWin32, RegisteredBlobsTakePrecedence) {
    static const char replacement[] = "replacement";
    platform::RegisterBlob("MEDIADATA", 1001, replacement, sizeof replacement);
    platform::Blob blob;
    ASSERT_TRUE(platform::FindBlob("MEDIADATA", 1001, &blob));
    EXPECT_EQ(blob.data, replacement);
    platform::UnregisterBlob("MEDIADATA", 1001);
    ASSERT_TRUE(platform::FindBlob("MEDIADATA", 1001, &blob));
    EXPECT_NE(blob.data, replacement);
}

TEST(PlatformWin32, LogFileOpensUnderAFolderNameOutsideTheCodePage) {
    std::string temp = platform::CreateTempFile("zav");
    ASSERT_FALSE(temp.empty());
    platform::RemoveFile(temp.c_str());
    // A folder name in Greek and Japanese: neither fits Windows-1251.
    std::string folder = temp + "-\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xE6\x97\xA5\xE6\x9C\xAC";
    ASSERT_TRUE(platform::MakeDirectory(folder.c_str()));
    EXPECT_TRUE(platform::MakeDirectory(folder.c_str()));  // existing is success
    std::string path = folder + "\\SSELog.txt";
    {
        Ref<FileMessageOutput> output(new FileMessageOutput(String(path.c_str()), String()));
        ASSERT_TRUE(output->IsOpen());
        output->Print(kLogInfo, "line");
    }
    std::FILE* file = platform::OpenFile(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char buffer[32] = {};
    size_t read = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    EXPECT_EQ(std::string(buffer, read), "INFO. line\r\n");
    EXPECT_TRUE(platform::RemoveFile(path.c_str()));
}

TEST(PlatformWin32, ClockAndFolders) {
    uint64_t before = platform::MonotonicMilliseconds();
    platform::SleepMilliseconds(50);
    EXPECT_GT(platform::MonotonicMilliseconds(), before);
    EXPECT_FALSE(platform::GetUserDataFolder().empty());
    EXPECT_EQ(platform::PathSeparator(), '\\');
    EXPECT_EQ(platform::Utf8ToCodePage("\xD0\x9F"), "\xCF");  // Cyrillic capital Pe
    EXPECT_EQ(platform::CodePageToUtf8("\xCF"), "\xD0\x9F");
}

}  // namespace
}  // namespace zav
