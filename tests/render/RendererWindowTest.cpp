#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/render/GammaRamp.h"
#include "engine/render/SystemWindow.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingRenderer.h"

namespace zav {
namespace {

// A window system that hands out numbered windows and records the calls.
struct FakeWindowSystem {
    static std::vector<std::string> calls;
    static int createResult;
    static int closeResult;
    static intptr_t nextWindow;

    static int Create(void** window, const String& title, void*, bool fullScreen, int32_t bits, int32_t x,
                      int32_t y, int32_t width, int32_t height) {
        calls.push_back(std::string("create ") + title.CStr() + (fullScreen ? " full " : " windowed ") +
                        std::to_string(bits) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                        std::to_string(width) + "x" + std::to_string(height));
        if (createResult != kOk) return createResult;
        if (!*window) *window = reinterpret_cast<void*>(nextWindow++);
        return kOk;
    }
    static int Close(void* window) {
        calls.push_back("close " + std::to_string(reinterpret_cast<intptr_t>(window)));
        return closeResult;
    }
};
std::vector<std::string> FakeWindowSystem::calls;
int FakeWindowSystem::createResult = kOk;
int FakeWindowSystem::closeResult = kOk;
intptr_t FakeWindowSystem::nextWindow = 1;

DisplayMode FullScreen(int32_t width, int32_t height) {
    DisplayMode mode;
    mode.width = width;
    mode.height = height;
    mode.fullScreen = true;
    mode.colorBits = 32;
    return mode;
}

class RendererWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeWindowSystem::calls.clear();
        FakeWindowSystem::createResult = kOk;
        FakeWindowSystem::closeResult = kOk;
        FakeWindowSystem::nextWindow = 1;
        SystemWindowFunctions functions;
        functions.create = &FakeWindowSystem::Create;
        functions.close = &FakeWindowSystem::Close;
        SetSystemWindowFunctions(functions);
        renderer = new test::RecordingRenderer();
        renderer->AddMode(FullScreen(1024, 768));
        DisplayMode windowed;
        windowed.colorBits = 16;
        renderer->AddMode(windowed);
    }
    void TearDown() override {
        renderer = nullptr;
        SetSystemWindowFunctions(SystemWindowFunctions());
    }
    Ref<test::RecordingRenderer> renderer;
};

TEST_F(RendererWindowTest, FullScreenModeOpensAtItsOwnSizeAndCreatesTheDevice) {
    EXPECT_EQ(renderer->OpenWindow(0, "Title", nullptr, 5, 6, 640, 480), kOk);
    EXPECT_EQ(FakeWindowSystem::calls, std::vector<std::string>{"create Title full 32 0,0 1024x768"});
    EXPECT_EQ(renderer->calls, std::vector<std::string>{"CreateDevice 0 0,0 1024x768"});
    EXPECT_EQ(renderer->GetWindow(), reinterpret_cast<void*>(1));
}

TEST_F(RendererWindowTest, WindowedModeKeepsTheGivenRectangleAndDeviceFailureIsReturned) {
    renderer->createDeviceResult = kFailed;
    EXPECT_EQ(renderer->OpenWindow(1, "T", nullptr, 5, 6, 640, 480), kFailed);
    EXPECT_EQ(FakeWindowSystem::calls, std::vector<std::string>{"create T windowed 16 5,6 640x480"});
    EXPECT_EQ(renderer->calls, std::vector<std::string>{"CreateDevice 1 5,6 640x480"});
}

TEST_F(RendererWindowTest, ModeIndexOutOfRangeOpensNothing) {
    EXPECT_EQ(renderer->OpenWindow(2, "T", nullptr, 0, 0, 640, 480), kNotFound);
    EXPECT_EQ(renderer->OpenWindow(-1, "T", nullptr, 0, 0, 640, 480), kNotFound);
    EXPECT_TRUE(FakeWindowSystem::calls.empty());
    EXPECT_TRUE(renderer->calls.empty());
}

TEST_F(RendererWindowTest, WindowFailureIsLoggedAndNoDeviceIsCreated) {
    FakeWindowSystem::createResult = kFailed;
    test::LogCapture capture;
    EXPECT_EQ(renderer->OpenWindow(0, "T", nullptr, 0, 0, 640, 480), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Создание окна неудачно."));
    EXPECT_TRUE(renderer->calls.empty());
    EXPECT_EQ(renderer->GetWindow(), nullptr);
}

TEST_F(RendererWindowTest, ReopeningClosesTheOpenWindowFirst) {
    ASSERT_EQ(renderer->OpenWindow(0, "A", nullptr, 0, 0, 640, 480), kOk);
    ASSERT_EQ(renderer->OpenWindow(0, "B", nullptr, 0, 0, 640, 480), kOk);
    EXPECT_EQ(FakeWindowSystem::calls, (std::vector<std::string>{"create A full 32 0,0 1024x768", "close 1",
                                                                 "create B full 32 0,0 1024x768"}));
    EXPECT_EQ(renderer->calls,
              (std::vector<std::string>{"CreateDevice 0 0,0 1024x768", "ReleaseDevice", "CreateDevice 0 0,0 1024x768"}));
    EXPECT_EQ(renderer->GetWindow(), reinterpret_cast<void*>(2));
}

TEST_F(RendererWindowTest, CloseReleasesTheDeviceFirstAndKeepsAWindowThatWouldNotClose) {
    EXPECT_EQ(renderer->CloseWindow(), kNotFound);
    EXPECT_EQ(renderer->calls, std::vector<std::string>{"ReleaseDevice"});
    ASSERT_EQ(renderer->OpenWindow(0, "A", nullptr, 0, 0, 640, 480), kOk);
    FakeWindowSystem::closeResult = kFailed;
    test::LogCapture capture;
    EXPECT_EQ(renderer->CloseWindow(), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Закрытие окна неудачно."));
    EXPECT_NE(renderer->GetWindow(), nullptr);
    FakeWindowSystem::closeResult = kOk;
    EXPECT_EQ(renderer->CloseWindow(), kOk);
    EXPECT_EQ(renderer->GetWindow(), nullptr);
}

TEST_F(RendererWindowTest, DestroyingTheRendererClosesItsWindow) {
    ASSERT_EQ(renderer->OpenWindow(0, "A", nullptr, 0, 0, 640, 480), kOk);
    renderer = nullptr;
    EXPECT_EQ(FakeWindowSystem::calls.back(), "close 1");
}

TEST_F(RendererWindowTest, WithoutAWindowSystemNothingOpens) {
    SetSystemWindowFunctions(SystemWindowFunctions());
    test::LogCapture capture;
    EXPECT_EQ(renderer->OpenWindow(0, "A", nullptr, 0, 0, 640, 480), kFailed);
    EXPECT_TRUE(capture.Has(kLogError, "Создание окна неудачно."));
}

TEST(GammaRamp, LevelShiftsTheIdentityRampWithinRange) {
    EXPECT_EQ(GammaRampEntry(0, 0), 0);
    EXPECT_EQ(GammaRampEntry(0, 255), 65280);
    EXPECT_EQ(GammaRampEntry(10, 1), 2256);
    EXPECT_EQ(GammaRampEntry(100, 255), 65535);
    EXPECT_EQ(GammaRampEntry(-100, 0), 0);
    EXPECT_EQ(GammaRampEntry(-100, 100), 5600);
    EXPECT_EQ(GammaRampEntry(2000000000, 255), 65535);
    EXPECT_EQ(GammaRampEntry(-2000000000, 255), 0);
}

}  // namespace
}  // namespace zav
