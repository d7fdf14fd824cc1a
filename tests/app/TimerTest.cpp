#include <gtest/gtest.h>

#include "app/Timer.h"

namespace zav {
namespace {

uint64_t gNow = 0;
uint64_t FakeClock() { return gNow; }

TEST(Timer, TickMeasuresSincePreviousTickAndPausedTimeIsNotElapsed) {
    gNow = 1000;
    Timer timer(&FakeClock);
    gNow = 1250;
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.25);
    gNow = 1260;
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.01);
    EXPECT_DOUBLE_EQ(timer.Elapsed(), 0.26);
    timer.Pause();
    gNow = 5260;
    EXPECT_DOUBLE_EQ(timer.Elapsed(), 0.26);
    timer.Start();
    gNow = 5360;
    EXPECT_DOUBLE_EQ(timer.Elapsed(), 0.36);
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.1);
    timer.Reset();
    EXPECT_DOUBLE_EQ(timer.Elapsed(), 0.0);
}

TEST(Timer, SurvivesTheThirtyTwoBitTickWrapAndAClockThatStepsBack) {
    gNow = 0xFFFFFFF0ull;
    Timer timer(&FakeClock);
    gNow = 0x100000010ull;
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.032);
    gNow = 0x100000000ull;
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.0);
    gNow += 5;
    EXPECT_DOUBLE_EQ(timer.Tick(), 0.005);
}

TEST(FpsCounter, AveragesOverASecondAndKeepsTheRemainder) {
    gNow = 0;
    FpsCounter counter(&FakeClock);
    for (int i = 0; i < 4; ++i) {
        gNow += 250;
        counter.Frame();
    }
    EXPECT_DOUBLE_EQ(counter.Fps(), 0.0);  // exactly one second is not over one
    gNow += 250;
    counter.Frame();
    EXPECT_DOUBLE_EQ(counter.Fps(), 5 / 1.25);
    // A stall of 2.5 s: its frame is averaged with the 0.25 s left over, and
    // what is over a second still counts for the next frame.
    gNow += 2500;
    counter.Frame();
    EXPECT_DOUBLE_EQ(counter.Fps(), 1 / 2.75);
    counter.Frame();
    EXPECT_DOUBLE_EQ(counter.Fps(), 1 / 1.75);
}

}  // namespace
}  // namespace zav
