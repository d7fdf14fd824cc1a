// The full-screen window, the Direct3D 9 device and the frame loop of a
// screensaver run, with an empty scene, on the X server the tests run in.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/MonitorCovers.h"
#include "app/SystemWindow.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/files/ModuleManager.h"
#include "engine/input/InputManager.h"
#include "engine/render/d3d9/D3D9Renderer.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingRenderer.h"
#include "tests/win/EmptyScreensaver.h"
#include "tests/win/WindowChecks.h"

namespace zav {
namespace {

// True when `expected` appears in `texts` in this order (others may come between).
::testing::AssertionResult InOrder(const std::vector<std::string>& texts, const std::vector<std::string>& expected) {
    size_t position = 0;
    for (const std::string& wanted : expected) {
        while (position < texts.size() && texts[position] != wanted) ++position;
        if (position == texts.size()) return ::testing::AssertionFailure() << "missing or out of order: " << wanted;
        ++position;
    }
    return ::testing::AssertionSuccess();
}

class FullScreenRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = new test::EmptyScreensaver();
        app->SetMode(kModeScreensaver);
        ASSERT_EQ(app->LoadDefaultSettings(), kOk);
        ASSERT_EQ(app->ApplyDefaults(), kOk);
        ASSERT_EQ(app->LoadUiStrings(), kOk);
        ASSERT_EQ(EngineInit(), kOk);
        ASSERT_EQ(CreateRenderer("DirectX9"), kOk);
        ASSERT_EQ(RegisterInputHandler(app.Get()), kOk);
    }
    void TearDown() override {
        if (app) {
            EXPECT_EQ(app->Shutdown(), kOk);
        }
        app = nullptr;
    }
    D3D9Renderer* Direct3D() { return static_cast<D3D9Renderer*>(GetRenderer()); }
    HWND Window() { return static_cast<HWND>(GetRenderer()->GetWindow()); }
    // Runs the main loop after posting `message` (to the scene's window unless
    // `target` is given); returns the frames it ran.
    int32_t RunAfter(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, HWND target = nullptr) {
        int32_t before = app->Frames();
        app->SetFrameLimit(before + 20);
        app->SetRunning();
        if (message == WM_QUIT)
            PostQuitMessage(0);
        else
            PostMessageW(target ? target : Window(), message, wParam, lParam);
        EXPECT_EQ(app->RunMainLoop(), kOk);
        return app->Frames() - before;
    }

    test::LogCapture capture;
    Ref<test::EmptyScreensaver> app;
};

TEST_F(FullScreenRunTest, DeviceModesListTheDesktopModeAndWindowedRecords) {
    const std::vector<DisplayMode>& modes = GetRenderer()->GetModes();
    ASSERT_FALSE(modes.empty());
    int32_t desktop = GetRenderer()->GetDefaultMode();
    ASSERT_GE(desktop, 0);
    ASSERT_LT(static_cast<size_t>(desktop), modes.size());
    EXPECT_TRUE(modes[desktop].fullScreen);
    EXPECT_EQ(modes[desktop].width, 1024);
    EXPECT_EQ(modes[desktop].height, 768);
    EXPECT_EQ(modes[desktop].colorBits, 32);
    bool windowed = false;
    for (const DisplayMode& mode : modes) {
        EXPECT_GE(mode.samples, 1);
        EXPECT_GT(mode.depthBits, 0);
        if (!mode.fullScreen) {
            windowed = true;
            EXPECT_EQ(mode.width, 0);
        }
    }
    EXPECT_TRUE(windowed);
}

TEST_F(FullScreenRunTest, FullScreenWindowCoversTheDisplayAndTheDeviceReportsItsCapabilities) {
    ASSERT_EQ(app->CreateWindows(), kOk);
    HWND window = Window();
    ASSERT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(test::WindowRectOf(window), (std::vector<LONG>{0, 0, 1024, 768}));
    EXPECT_TRUE(test::ClassExists(L"Night Harbor 3D Class"));
    ASSERT_NE(Direct3D()->GetDevice(), nullptr);
    EXPECT_GT(Direct3D()->GetCaps().maxTextures, 0);
    const RendererCaps& caps = Direct3D()->GetCaps();
    auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
    EXPECT_TRUE(InOrder(capture.Texts(), {
        "Создание системного окна [Night Harbor 3D].",
        "Created HARDWARE VERTEXPROCESSING",
        "COLOR BPP 32",
        "Alpha BPP " + std::to_string(GetRenderer()->GetModes()[GetRenderer()->GetDefaultMode()].alphaBits),
        "Depth BPP 24",
        "Stencil BPP 8",
        "Samples 1",
        "Vendor [" + std::string(caps.adapterDescription.CStr()) + "]",
        "Driver [" + std::string(caps.driverName.CStr()) + "]",
        "Simultaneous Textures [" + std::to_string(caps.maxTextures) + "]",
        "Max Active Lights [" + std::to_string(caps.maxLights) + "]",
        "Volume Textures [" + flag(caps.volumeTextures) + "]",
        "Cube Textures [" + flag(caps.cubeTextures) + "]",
        "Projected Textures [" + flag(caps.projectedTextures) + "]",
        "VERTEX SHADER " + std::to_string(caps.vertexShaderLevel),
        "PIXEL SHADER " + std::to_string(caps.pixelShaderLevel),
        "Point Sprites [" + flag(caps.pointSprites) + "]",
        "Occlusion Query [" + flag(caps.occlusionQueries) + "]",
        "Hardware Shadowmaps [" + flag(caps.hardwareShadowMaps) + "]",
        "A16B16G16R16F Textures [" + flag(caps.halfFloatTargets) + "]",
    }));
    EXPECT_FALSE(caps.adapterDescription.IsEmpty());
}

TEST_F(FullScreenRunTest, ClearFillsTheBackBufferWithThePackedColour) {
    ASSERT_EQ(app->CreateWindows(), kOk);
    IDirect3DDevice9* device = Direct3D()->GetDevice();
    ASSERT_NE(device, nullptr);
    ASSERT_EQ(GetRenderer()->BeginFrame(), kOk);
    GetRenderer()->Clear(kClearColor | kClearDepth | kClearStencil, Color{1.0f, 0.5f, 2.0f, 1.0f}, 1.0f, 0);
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    D3DSURFACE_DESC description;
    backBuffer->GetDesc(&description);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(description.Width, description.Height, description.Format,
                                                  D3DPOOL_SYSTEMMEM, &copy, nullptr),
              D3D_OK);
    ASSERT_EQ(device->GetRenderTargetData(backBuffer, copy), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    uint32_t pixel = *reinterpret_cast<const uint32_t*>(static_cast<const char*>(locked.pBits) + 384 * locked.Pitch +
                                                        512 * 4);
    copy->UnlockRect();
    copy->Release();
    backBuffer->Release();
    EXPECT_EQ(pixel & 0x00FFFFFFu, 0x00FF7FFFu);  // red 1, green 0.5 -> 127, blue clamped to 1
    EXPECT_EQ(GetRenderer()->EndFrame(), kOk);
    EXPECT_EQ(Direct3D()->GetClearColor().g, 0.5f);
}

TEST_F(FullScreenRunTest, KeysAltF10AndTheQuitMessageEachEndTheLoop) {
    ASSERT_EQ(app->CreateWindows(), kOk);
    EXPECT_EQ(RunAfter(WM_KEYDOWN, VK_ESCAPE), 1);
    EXPECT_EQ(RunAfter(WM_SYSKEYDOWN, VK_F10), 1);
    EXPECT_EQ(RunAfter(WM_SYSKEYDOWN, VK_MENU), 1);
    EXPECT_EQ(RunAfter(WM_QUIT), 1);
    EXPECT_EQ(RunAfter(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(RunAfter(WM_KEYUP, VK_ESCAPE), 20);  // a release alone changes nothing
    EXPECT_TRUE(IsWindow(Window()));
}

TEST_F(FullScreenRunTest, MouseMovesEndTheRunOnlyWithExitOnMouseMoveAndAfterTen) {
    ASSERT_EQ(app->CreateWindows(), kOk);
    RunAfter(WM_NULL);  // lets any move from the window's appearance arrive first
    for (int i = 0; i < 20; ++i) PostMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(i, i));
    EXPECT_EQ(RunAfter(WM_NULL), 20);
    app->Current().flags[kExitOnMouseMove] = true;
    for (int i = 0; i < 9; ++i) PostMessageW(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(100 + i, 50));
    EXPECT_EQ(RunAfter(WM_MOUSEMOVE, 0, MAKELPARAM(200, 60)), 20);  // the tenth is tolerated
    EXPECT_EQ(RunAfter(WM_MOUSEMOVE, 0, MAKELPARAM(201, 60)), 1);   // the eleventh is not
}

// Three monitors: the primary one in the middle, one to its left reaching
// above it and a smaller one to its right.
std::vector<MonitorArea> ThreeMonitors() {
    return {MonitorArea{RECT{-1280, -256, 0, 768}, false}, MonitorArea{RECT{0, 0, 1024, 768}, true},
            MonitorArea{RECT{1024, 0, 1824, 600}, false}};
}

TEST_F(FullScreenRunTest, InputOnEveryOtherMonitorsBlackWindowEndsTheRunLikeTheScenesWindow) {
    MonitorListFunction previous = SetMonitorListFunction(ThreeMonitors);
    ASSERT_EQ(app->CreateWindows(), kOk);
    SetMonitorListFunction(previous);
    std::vector<HWND> covers;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"Night Harbor 3D Cover", nullptr));)
        covers.push_back(window);
    ASSERT_EQ(covers.size(), 2u);
    std::vector<std::vector<LONG>> rects = {test::WindowRectOf(covers[0]), test::WindowRectOf(covers[1])};
    std::sort(rects.begin(), rects.end());
    EXPECT_EQ(rects, (std::vector<std::vector<LONG>>{{-1280, -256, 0, 768}, {1024, 0, 1824, 600}}));
    RunAfter(WM_NULL);  // lets any move from the windows' appearance arrive first
    for (HWND cover : covers) {
        EXPECT_EQ(RunAfter(WM_KEYDOWN, VK_SPACE, 0, cover), 1);
        EXPECT_EQ(RunAfter(WM_RBUTTONDOWN, 0, 0, cover), 1);
        EXPECT_EQ(RunAfter(WM_KEYUP, VK_SPACE, 0, cover), 20);
        EXPECT_EQ(RunAfter(WM_CLOSE, 0, 0, cover), 1);
        EXPECT_TRUE(IsWindow(cover));  // closed at shutdown, like the scene's window
    }
    // Moves over any of the windows share the one allowance.
    app->Current().flags[kExitOnMouseMove] = true;
    for (int i = 0; i < 10; ++i) PostMessageW(i % 2 ? covers[0] : Window(), WM_MOUSEMOVE, 0, MAKELPARAM(i, i));
    EXPECT_EQ(RunAfter(WM_NULL), 20);
    EXPECT_EQ(RunAfter(WM_MOUSEMOVE, 0, MAKELPARAM(300, 300), covers[1]), 1);

    EXPECT_EQ(app->Shutdown(), kOk);
    app = nullptr;
    for (HWND cover : covers) EXPECT_FALSE(IsWindow(cover));
    EXPECT_FALSE(test::ClassExists(L"Night Harbor 3D Cover"));
}

TEST_F(FullScreenRunTest, CloseEndsTheRunAndShutdownClosesTheWindowAndItsClass) {
    ASSERT_EQ(app->CreateWindows(), kOk);
    HWND window = Window();
    EXPECT_EQ(RunAfter(WM_CLOSE), 1);
    EXPECT_TRUE(IsWindow(window));  // not destroyed in the middle of a frame
    EXPECT_EQ(app->Shutdown(), kOk);
    app = nullptr;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(test::ClassExists(L"Night Harbor 3D Class"));
}

TEST_F(FullScreenRunTest, AWindowDestroyedFromOutsideStillShutsDownCleanly) {
    ASSERT_EQ(app->CreateWindows(), kOk);
    HWND window = Window();
    DestroyWindow(window);
    EXPECT_EQ(RunAfter(WM_NULL), 1);
    capture.Clear();
    EXPECT_EQ(app->Shutdown(), kOk);
    app = nullptr;
    EXPECT_FALSE(capture.Has(kLogError, "Невозможно удалить системное окно."));
    EXPECT_FALSE(capture.Has(kLogError, "Невозможно разрегестрировать класс системного окна."));
    EXPECT_FALSE(test::ClassExists(L"Night Harbor 3D Class"));
}

// A renderer whose mode list offers 800 x 600, which the X server's one
// display setting (1024 x 768) cannot give a full-screen window.
test::RecordingRenderer* gRefusedModeRenderer = nullptr;
int CreateRefusedModeRenderer(Renderer** renderer) {
    gRefusedModeRenderer = new test::RecordingRenderer();
    for (int32_t width : {800, 1024}) {
        DisplayMode mode;
        mode.fullScreen = true;
        mode.width = width;
        mode.height = width * 3 / 4;
        mode.colorBits = 32;
        gRefusedModeRenderer->AddMode(mode);
    }
    gRefusedModeRenderer->SetDefaultMode(1);
    *renderer = gRefusedModeRenderer;
    return kOk;
}

TEST(FullScreenWindow, AModeTheDisplayRefusesFallsBackToTheDesktopMode) {
    Ref<test::EmptyScreensaver> app(new test::EmptyScreensaver());
    app->SetMode(kModeScreensaver);
    app->Current().flags[kUseDesktopSettings] = false;
    app->Current().numbers[kWidth] = 800;
    app->Current().numbers[kHeight] = 600;
    app->Current().numbers[kColorDepth] = 32;
    ASSERT_EQ(EngineInit(), kOk);
    Ref<BuiltinModule> module(new BuiltinModule("RefusedModeRenderer"));
    module->AddSymbol("CreateRenderer", ToModuleSymbol(&CreateRefusedModeRenderer));
    ASSERT_EQ(RegisterModule(module.Get()), kOk);
    ASSERT_EQ(CreateRenderer("RefusedModeRenderer"), kOk);
    test::LogCapture capture;
    ASSERT_EQ(app->CreateWindows(), kOk);
    EXPECT_TRUE(capture.Has(kLogError, "Нет настройки экрана 800x600, 32 бит для полноэкранного окна."));
    EXPECT_TRUE(capture.Has(kLogWarning, "Видео режим 800x600 недоступен, используются настройки рабочего стола."));
    EXPECT_EQ(gRefusedModeRenderer->calls, std::vector<std::string>{"CreateDevice 1 0,0 1024x768"});
    EXPECT_EQ(test::WindowRectOf(static_cast<HWND>(GetRenderer()->GetWindow())),
              (std::vector<LONG>{0, 0, 1024, 768}));
    EXPECT_EQ(app->Shutdown(), kOk);
}

TEST(SystemWindow, BadArgumentsAndMissingDisplaySettingsFailWithoutAWindow) {
    test::LogCapture capture;
    EXPECT_EQ(CreateSystemWindow(nullptr, "Probe", nullptr, true, 32, 0, 0, 1024, 768), kNotFound);
    EXPECT_TRUE(capture.Has(kLogError, "Указатель на окно равен 0."));
    void* window = nullptr;
    EXPECT_EQ(CreateSystemWindow(&window, "Probe", nullptr, true, 32, 0, 0, 800, 600), kFailed);
    EXPECT_EQ(window, nullptr);
    EXPECT_TRUE(capture.Has(kLogError, "Нет настройки экрана 800x600, 32 бит для полноэкранного окна."));
    EXPECT_FALSE(test::ClassExists(L"Probe Class"));
}

TEST(SystemWindow, WindowedWindowHasTheRequestedClientAreaAndClosesWithItsClass) {
    void* window = nullptr;
    ASSERT_EQ(CreateSystemWindow(&window, "Probe", nullptr, false, 32, 10, 20, 300, 200), kOk);
    ASSERT_NE(window, nullptr);
    RECT client;
    GetClientRect(static_cast<HWND>(window), &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_TRUE(test::ClassExists(L"Probe Class"));
    EXPECT_EQ(CloseSystemWindow(window), kOk);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(window)));
    EXPECT_FALSE(test::ClassExists(L"Probe Class"));
    test::LogCapture capture;
    EXPECT_EQ(CloseSystemWindow(nullptr), kOk);
    EXPECT_TRUE(capture.Has(kLogWarning, "Указатель на окно равен 0."));
}

TEST(SystemWindow, MessagesBecomeInputEvents) {
    auto translate = [](UINT message, WPARAM wParam, LPARAM lParam) {
        InputEvent event{-1, -1, -1, -1};
        bool translated = TranslateWindowMessage(message, wParam, lParam, &event);
        return translated ? std::vector<int32_t>{event.device, event.action, event.code, event.value}
                          : std::vector<int32_t>{};
    };
    using Event = std::vector<int32_t>;
    EXPECT_EQ(translate(WM_KEYDOWN, 'A', 0), (Event{0, 1, 10, 0}));
    EXPECT_EQ(translate(WM_SYSKEYDOWN, VK_F10, 0), (Event{0, 1, 59, 0}));
    EXPECT_EQ(translate(WM_KEYUP, VK_SHIFT, 0), (Event{0, 2, 100, 0}));
    EXPECT_EQ(translate(WM_MOUSEMOVE, 0, MAKELPARAM(65535, 3)), (Event{1, 3, 65535, 3}));
    EXPECT_EQ(translate(WM_RBUTTONDOWN, 0, 0), (Event{1, 1, 1, 0}));
    EXPECT_EQ(translate(WM_MBUTTONUP, 0, 0), (Event{1, 2, 2, 0}));
    EXPECT_EQ(translate(WM_CLOSE, 0, 0), (Event{2, 4, 0, 0}));
    EXPECT_EQ(translate(WM_DESTROY, 0, 0), (Event{2, 4, 0, 0}));
    EXPECT_EQ(translate(WM_PAINT, 0, 0), Event{});
}

}  // namespace
}  // namespace zav
