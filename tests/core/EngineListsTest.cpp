#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "tests/support/LogCapture.h"

namespace zav {
namespace {

// Functions appended by one test stay in the lists for the rest of the
// process; they only act while their test's generation is current, and
// otherwise succeed quietly.
int gGeneration = 0;
std::vector<std::string> gCalls;

template <int Generation, char Name, int Result>
int Step() {
    if (gGeneration != Generation) return 0;
    gCalls.push_back(std::string(1, Name));
    return Result;
}

void StartGeneration(int generation) {
    gGeneration = generation;
    gCalls.clear();
}

// Declared first so that it runs before any test appends to the lists.
TEST(EngineLists, EmptyListsLogTheFourStartLinesAndSucceed) {
    if (InitFunctionCount() + PostInitFunctionCount() + ShutdownFunctionCount() != 0)
        GTEST_SKIP() << "another test appended to the engine lists first";
    test::LogCapture capture;
    capture.Clear();
    EXPECT_EQ(EngineInit(), kOk);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{
                                   "Инициализация движка v.0.1.2:",
                                   "Инициализация движка завершилась удачно.",
                                   "Постинициализация движка:",
                                   "Постинициализация движка завершилась удачно.",
                               }));
    capture.Clear();
    EXPECT_EQ(EngineShutdown(), kOk);
    EXPECT_EQ(capture.Texts(), (std::vector<std::string>{"Завершение работы движка:",
                                                         "Завершение работы движка завершилось удачно."}));
}

TEST(EngineLists, InitStopsAtTheFirstFailureAndSkipsPostInit) {
    StartGeneration(1);
    AddInitFunction(Step<1, 'a', 0>);
    AddInitFunction(Step<1, 'b', 1>);
    AddInitFunction(Step<1, 'c', 0>);
    AddPostInitFunction(Step<1, 'p', 0>);
    test::LogCapture capture;
    EXPECT_EQ(EngineInit(), kFailed);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(capture.Has(kLogError, "Инициализация движка неудачно."));
    EXPECT_FALSE(capture.Has(kLogInfo, "Постинициализация движка:"));
}

TEST(EngineLists, PostInitFailureIsReported) {
    StartGeneration(2);
    AddInitFunction(Step<2, 'i', 0>);
    AddPostInitFunction(Step<2, 'p', 1>);
    AddPostInitFunction(Step<2, 'q', 0>);
    test::LogCapture capture;
    EXPECT_EQ(EngineInit(), kFailed);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"i", "p"}));
    EXPECT_TRUE(capture.Has(kLogInfo, "Инициализация движка завершилась удачно."));
    EXPECT_TRUE(capture.Has(kLogError, "Постинициализация движка неудачна."));
}

TEST(EngineLists, ShutdownRunsInAppendOrderAndStopsAtFailure) {
    StartGeneration(3);
    AddShutdownFunction(Step<3, 'x', 0>);
    AddShutdownFunction(Step<3, 'y', 5>);
    AddShutdownFunction(Step<3, 'z', 0>);
    test::LogCapture capture;
    EXPECT_EQ(EngineShutdown(), kFailed);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"x", "y"}));
    EXPECT_TRUE(capture.Has(kLogError, "Завершение работы движка неудачно."));
}

int AppendingStep();
int AppendedStep() {
    if (gGeneration == 4) gCalls.push_back("appended");
    return 0;
}
int AppendingStep() {
    if (gGeneration != 4) return 0;
    gCalls.push_back("appending");
    AddInitFunction(AppendedStep);
    return 0;
}

TEST(EngineLists, FunctionAppendedDuringTheRunIsCalledInTheSameRun) {
    StartGeneration(4);
    AddInitFunction(AppendingStep);
    EXPECT_EQ(EngineInit(), kOk);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"appending", "appended"}));
}

TEST(EngineLists, ListsSurviveShutdownAndRunAgain) {
    StartGeneration(5);
    AddInitFunction(Step<5, 'r', 0>);
    AddShutdownFunction(Step<5, 's', 0>);
    EXPECT_EQ(EngineInit(), kOk);
    EXPECT_EQ(EngineShutdown(), kOk);
    EXPECT_EQ(EngineInit(), kOk);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"r", "s", "r"}));
}

}  // namespace
}  // namespace zav
