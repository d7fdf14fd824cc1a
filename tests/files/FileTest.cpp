#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/File.h"
#include "engine/platform/Platform.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

// A disk file in a fresh temporary place, removed afterwards.
class DiskFile : public ::testing::Test {
protected:
    DiskFile() : path(platform::CreateTempFile("zavfile")) {}
    ~DiskFile() override { std::filesystem::remove(path); }

    void WriteBytes(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string ReadBytes() {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string path;
};

TEST_F(DiskFile, WrittenBytesReadBackAndSizesFollowTheMode) {
    File file(path.c_str());
    ASSERT_EQ(file.Open(kFileWrite), kOk);
    EXPECT_EQ(file.GetSize(), 0);
    file.WriteInt32(7);
    file.WriteString("text");
    EXPECT_EQ(file.GetSize(), 12);  // written so far
    ASSERT_EQ(file.Close(), kOk);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadBytes().size(), 12u);
    EXPECT_EQ(file.GetSize(), 12);  // closed: measured
    EXPECT_FALSE(file.IsOpen());

    ASSERT_EQ(file.Open(kFileAppend), kOk);
    file.WriteInt8(1);
    ASSERT_EQ(file.Close(), kOk);

    ASSERT_EQ(file.Open(kFileRead), kOk);
    EXPECT_EQ(file.GetSize(), 13);
    int32_t number = 0;
    String text;
    int8_t last = 0;
    EXPECT_EQ(file.ReadInt32(number), kOk);
    EXPECT_EQ(file.ReadString(text), kOk);
    EXPECT_EQ(file.ReadInt8(last), kOk);
    EXPECT_EQ(number, 7);
    EXPECT_EQ(text, "text");
    EXPECT_EQ(last, 1);
    EXPECT_EQ(file.Close(), kOk);
}

TEST_F(DiskFile, ReadsAndWritesInTheWrongModeAreRefused) {
    test::LogCapture capture;
    File file(path.c_str());
    char byte = 0;
    EXPECT_EQ(file.Write(&byte, 1), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Запись в закрытый файл [" + path + "]."));
    EXPECT_EQ(file.Read(&byte, 1), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Чтение из закрытого файла [" + path + "]."));
    ASSERT_EQ(file.Open(kFileRead), kOk);
    EXPECT_EQ(file.Write(&byte, 1), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Запись в файл [" + path + "], открытый для чтения."));
    ASSERT_EQ(file.Open(kFileWrite), kOk);  // closes and reopens
    EXPECT_EQ(file.Read(&byte, 1), kFailed);
    EXPECT_TRUE(capture.Has(kLogWarning, "Чтение из файла [" + path + "], открытого для записи."));
    EXPECT_EQ(file.GetState(), kOk);  // a refusal does not fail the stream
}

TEST_F(DiskFile, AMissingFileFailsToOpenAndMeasuresZero) {
    std::filesystem::remove(path);
    test::LogCapture capture;
    File file(path.c_str());
    EXPECT_EQ(file.Open(kFileRead), kFailed);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно открыть файл [" + path + "]."));
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_TRUE(capture.Has(kLogWarning, "Файл [" + path + "] не может быть открыть для чтения."));
}

TEST_F(DiskFile, EveryOpenStartsAFreshStream) {
    WriteBytes("ab");
    File file(path.c_str());
    ASSERT_EQ(file.Open(kFileRead), kOk);
    int32_t value = 0;
    EXPECT_NE(file.ReadInt32(value), kOk);  // only two bytes
    EXPECT_NE(file.GetState(), kOk);
    file.Close();
    ASSERT_EQ(file.Open(kFileRead), kOk);
    EXPECT_EQ(file.GetState(), kOk);
    int16_t shortValue = 0;
    EXPECT_EQ(file.ReadInt16(shortValue), kOk);
    EXPECT_EQ(shortValue, 'a' | ('b' << 8));
}

TEST_F(DiskFile, AnEmptyFileOpensEmpty) {
    WriteBytes("");
    File file(path.c_str());
    ASSERT_EQ(file.Open(kFileRead), kOk);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Read(nullptr, 0), kOk);
    int8_t byte = 0;
    EXPECT_NE(file.ReadInt8(byte), kOk);
}

// A save whose stream failed must not report success.
TEST_F(DiskFile, CloseReportsAFailedStream) {
    test::LogCapture capture;
    File file(path.c_str());
    ASSERT_EQ(file.Open(kFileWrite), kOk);
    file.WriteInt32(1);
    file.Write("x", -1);  // fails the stream
    EXPECT_EQ(file.Close(), kFailed);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(capture.HasPrefix(kLogWarning, "Данные файла [" + path + "] неполны"));
    ASSERT_EQ(file.Open(kFileWrite), kOk);
    EXPECT_EQ(file.GetState(), kOk);
    EXPECT_EQ(file.Close(), kOk);
}

// Files whose content cannot be read whole are refused, not handed out in part.
TEST(DiskFileLimits, FilesLargerThan32BitsAreRefused) {
    std::string path = platform::CreateTempFile("zavbig");
    std::error_code error;
    std::filesystem::resize_file(path, (uint64_t{1} << 32) + 16, error);  // sparse: no disk space used
    if (error) {
        std::filesystem::remove(path);
        GTEST_SKIP() << "cannot create a sparse file here: " << error.message();
    }
    test::LogCapture capture;
    File file(path.c_str());
    EXPECT_EQ(file.Open(kFileRead), kFailed);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_TRUE(capture.Has(kLogWarning, "Файл [" + path + "] не может быть открыть для чтения."));
    std::filesystem::resize_file(path, uint64_t{1} << 31, error);
    EXPECT_EQ(file.Open(kFileRead), kFailed);
    std::filesystem::remove(path);
}

TEST(DiskFileLimits, AFileThatYieldsOtherThanItsSizeIsRefused) {
    // Files under /proc measure 0 bytes but have content.
    File file("/proc/self/status");
    if (!std::filesystem::exists("/proc/self/status")) GTEST_SKIP() << "no /proc";
    test::LogCapture capture;
    EXPECT_EQ(file.Open(kFileRead), kFailed);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(capture.Has(kLogWarning, "Невозможно прочитать файл [/proc/self/status] целиком."));
}

// A flush that fails still frees the handle and the buffer.
TEST(DiskFileLimits, AFailedFlushClosesTheFileAndReportsFailure) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    test::LogCapture capture;
    File file("/dev/full");
    ASSERT_EQ(file.Open(kFileWrite), kOk);
    std::string block(70000, 'x');
    file.Write(block.data(), static_cast<int32_t>(block.size()));
    EXPECT_EQ(file.Close(), kFailed);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetCapacity(), 0);
    EXPECT_TRUE(capture.Has(kLogWarning, "В файл [/dev/full] записаны не все данные.") ||
                capture.Has(kLogWarning, "Невозможно закрыть файл [/dev/full]."));
    EXPECT_EQ(file.Close(), kOk);  // nothing left to retry
}

TEST(FileNames, ExtensionIsTheTextAfterTheLastDot) {
    EXPECT_EQ(File("Main.STR").GetExtension(), "STR");
    EXPECT_EQ(File("archive.tar.rar2").GetExtension(), "rar2");
    EXPECT_EQ(File("README").GetExtension(), "");
    EXPECT_EQ(File("trailing.").GetExtension(), "");
}

}  // namespace
}  // namespace zav
