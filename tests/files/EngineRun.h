#pragma once

#include <gtest/gtest.h>

#include "engine/core/Engine.h"
#include "engine/core/Result.h"

namespace zav::test {

// Starts the whole engine (managers, classes, built-in modules) for each
// test and stops it afterwards.
class EngineRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(EngineInit(), kOk); }
    void TearDown() override { EXPECT_EQ(EngineShutdown(), kOk); }
};

}  // namespace zav::test
