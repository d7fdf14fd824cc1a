// The black windows over the monitors the scene does not run on, for monitor
// layouts the X server cannot show: side by side, to the left of and above
// the primary monitor, of different sizes.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "app/MonitorCovers.h"
#include "engine/core/Result.h"
#include "tests/support/LogCapture.h"
#include "tests/win/WindowChecks.h"

namespace zav {
namespace {

constexpr wchar_t kSceneClass[] = L"MonitorCoversTest Scene";

// A plain pop-up window standing in for the scene's window.
class MonitorCoversTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kSceneClass;
        RegisterClassW(&windowClass);
        scene = CreateWindowExW(0, kSceneClass, L"Scene", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(scene, nullptr);
    }
    void TearDown() override {
        covers.Close();
        DestroyWindow(scene);
        UnregisterClassW(kSceneClass, GetModuleHandleW(nullptr));
    }

    // True when `window` comes after the scene window in the Z order.
    bool BelowTheScene(HWND window) {
        for (HWND next = GetWindow(scene, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT))
            if (next == window) return true;
        return false;
    }

    MonitorCovers covers;
    HWND scene = nullptr;
};

// What the window paints over a white picture of its size, at its centre.
COLORREF PaintedCentre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, width, height, WHITENESS);
    PrintWindow(window, memory, 0);
    COLORREF centre = GetPixel(memory, width / 2, height / 2);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return centre;
}

MonitorArea Monitor(LONG left, LONG top, LONG width, LONG height, bool primary = false) {
    return MonitorArea{RECT{left, top, left + width, top + height}, primary};
}

TEST_F(MonitorCoversTest, EveryMonitorButThePrimaryOneGetsABlackWindowBelowTheScene) {
    const std::vector<std::vector<MonitorArea>> layouts = {
        // two side by side, the second larger
        {Monitor(0, 0, 1024, 768, true), Monitor(1024, 0, 1920, 1080)},
        // three: left of and above the primary one, which is not listed first
        {Monitor(-1280, -256, 1280, 1024), Monitor(0, 0, 1024, 768, true), Monitor(0, -600, 800, 600)},
    };
    for (const std::vector<MonitorArea>& layout : layouts) {
        test::LogCapture capture;
        ASSERT_EQ(covers.Open(layout, scene, "Probe"), kOk);
        std::vector<MonitorArea> others;
        for (const MonitorArea& monitor : layout)
            if (!monitor.primary) others.push_back(monitor);
        ASSERT_EQ(covers.GetWindows().size(), others.size());
        for (size_t i = 0; i < others.size(); ++i) {
            HWND window = covers.GetWindows()[i];
            const RECT& rect = others[i].rect;
            EXPECT_EQ(test::WindowRectOf(window), (std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}));
            EXPECT_TRUE(IsWindowVisible(window));
            EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
            EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);  // no task bar button
            EXPECT_TRUE(BelowTheScene(window));
            EXPECT_EQ(PaintedCentre(window), RGB(0, 0, 0));
            char line[96];
            std::snprintf(line, sizeof line, "Монитор %ld,%ld %ldx%ld закрыт чёрным окном.", rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top);
            EXPECT_TRUE(capture.Has(kLogInfo, line)) << line;
        }
        EXPECT_NE(GetActiveWindow(), covers.GetWindows()[0]);  // shown without taking the focus
        EXPECT_TRUE(test::ClassExists(L"Probe Cover"));
        std::vector<HWND> windows = covers.GetWindows();
        covers.Close();
        for (HWND window : windows) EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(test::ClassExists(L"Probe Cover"));
    }
}

TEST_F(MonitorCoversTest, OneMonitorOrEmptyRectanglesNeedNoWindowAndNoClass) {
    EXPECT_EQ(covers.Open({Monitor(0, 0, 1024, 768, true), Monitor(1024, 0, 0, 768), Monitor(-5, -5, 10, -1)}, scene,
                          "Probe"),
              kOk);
    EXPECT_TRUE(covers.GetWindows().empty());
    EXPECT_FALSE(test::ClassExists(L"Probe Cover"));
}

}  // namespace
}  // namespace zav
