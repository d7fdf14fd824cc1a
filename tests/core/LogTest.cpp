#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The file output writes text-mode lines; on Windows they end in CR LF.
std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
#ifdef _WIN32
        text += "\r\n";
#else
        text += "\n";
#endif
    }
    return text;
}

TEST(Log, EveryLevelReachesTheOutputInOrder) {
    test::LogCapture capture;
    capture.Clear();
    LogInfo("info %d", 1);
    LogWarning("warning %s", "two");
    LogError("error");
    LogCritical("critical");
    LogMessage(7, "odd level");
    ASSERT_EQ(capture.Lines().size(), 5u);
    EXPECT_EQ(capture.Lines()[0].level, kLogInfo);
    EXPECT_EQ(capture.Lines()[0].text, "info 1");
    EXPECT_EQ(capture.Lines()[1].level, kLogWarning);
    EXPECT_EQ(capture.Lines()[1].text, "warning two");
    EXPECT_EQ(capture.Lines()[2].level, kLogError);
    EXPECT_EQ(capture.Lines()[3].level, kLogCritical);
    EXPECT_EQ(capture.Lines()[4].level, 7);
}

TEST(Log, FileOutputWritesPrefixedLines) {
    std::string path = platform::CreateTempFile("zavlog");
    ASSERT_FALSE(path.empty());
    {
        Ref<FileMessageOutput> output(new FileMessageOutput(String(path.c_str()), "file"));
        ASSERT_TRUE(output->IsOpen());
        output->Print(kLogInfo, "Конец лога.");
        output->Print(kLogWarning, "w");
        output->Print(kLogError, "e");
        output->Print(kLogCritical, "c");
        output->Print(-1, "u");
    }
    EXPECT_EQ(ReadFile(path),
              Lines({"INFO. Конец лога.", "WARNING. w", "ERROR. e", "CRITICAL ERROR. c", "UNKNOWN. u"}));
    // The Russian text is written as Windows-1251 bytes.
    EXPECT_NE(ReadFile(path).find("\xCA\xEE\xED\xE5\xF6"), std::string::npos);
    platform::RemoveFile(path.c_str());
}

TEST(Log, FileOutputTruncatesAnExistingFile) {
    std::string path = platform::CreateTempFile("zavlog");
    {
        std::FILE* file = platform::OpenFile(path.c_str(), "wb");
        std::fputs("old contents that must go\n", file);
        std::fclose(file);
    }
    { Ref<FileMessageOutput> output(new FileMessageOutput(String(path.c_str()), "")); }
    EXPECT_EQ(ReadFile(path), "");
    platform::RemoveFile(path.c_str());
}

TEST(Log, OutputWithoutFileIsSilent) {
    Ref<FileMessageOutput> output(new FileMessageOutput("/nonexistent-folder/zav/x.txt", "quiet"));
    EXPECT_FALSE(output->IsOpen());
    output->Print(kLogInfo, "nothing happens");
}

TEST(Log, RegistrationMessagesReachTheRightOutputs) {
    test::LogCapture observer;
    std::string path = platform::CreateTempFile("zavlog");
    Ref<FileMessageOutput> output(new FileMessageOutput(String(path.c_str()), ""));
    // Without a name the output is known by its path.
    EXPECT_EQ(output->GetName(), String(path.c_str()));

    observer.Clear();
    EXPECT_EQ(RegisterMessageOutput(output.Get()), kOk);
    int countAfterFirst = MessageOutputCount();
    EXPECT_EQ(RegisterMessageOutput(output.Get()), kOk);
    EXPECT_EQ(MessageOutputCount(), countAfterFirst);
    EXPECT_TRUE(observer.Has(kLogInfo, "Объект вывода сообщений зарегестрирован. [" + path + "]"));
    EXPECT_TRUE(observer.Has(kLogWarning, "Объект вывода сообщений уже зарегестрирован. [" + path + "]"));

    EXPECT_EQ(UnregisterMessageOutput(output.Get()), kOk);
    EXPECT_TRUE(observer.Has(kLogInfo, "Объект вывода сообщений разрегестрирован. [" + path + "]"));
    output = nullptr;  // closes the file

    // The output received its own registration line, the duplicate warning
    // and the unregistration line, in that order.
    EXPECT_EQ(ReadFile(path), Lines({"INFO. Объект вывода сообщений зарегестрирован. [" + path + "]",
                                     "WARNING. Объект вывода сообщений уже зарегестрирован. [" + path + "]",
                                     "INFO. Объект вывода сообщений разрегестрирован. [" + path + "]"}));
    platform::RemoveFile(path.c_str());
}

TEST(Log, UnregisteringAnUnknownOutputReturnsNotFoundSilently) {
    test::LogCapture observer;
    observer.Clear();
    Ref<FileMessageOutput> stranger(new FileMessageOutput("", "stranger"));
    EXPECT_EQ(UnregisterMessageOutput(stranger.Get()), kNotFound);
    EXPECT_EQ(UnregisterMessageOutput(nullptr), kNotFound);
    EXPECT_EQ(RegisterMessageOutput(nullptr), kNotFound);
    EXPECT_TRUE(observer.Lines().empty());
}

TEST(Log, LongMessagesAreCutToTheLimit) {
    test::LogCapture capture;
    capture.Clear();
    std::string longText(10000, 'x');
    LogInfo("%s", longText.c_str());
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].text.size(), static_cast<size_t>(kLogMessageLimit - 1));
}

TEST(Log, ArgumentTextIsNeverAFormat) {
    test::LogCapture capture;
    capture.Clear();
    LogError("Невозможно загрузить модуль [%s].", "%s%n%d");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].text, "Невозможно загрузить модуль [%s%n%d].");
}

}  // namespace
}  // namespace zav
