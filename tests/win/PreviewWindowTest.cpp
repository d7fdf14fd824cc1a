// The preview window inside a parent window, its loop, and the picture path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PreviewWindow.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "tests/support/LogCapture.h"
#include "tests/win/EmptyScreensaver.h"
#include "tests/win/PictureFiles.h"
#include "tests/win/WindowChecks.h"

namespace zav {
namespace {

constexpr wchar_t kPreviewClass[] = L"Night Harbor 3D";
constexpr char kMissingPicture[] = "Не найден файл данных [preview.bmp].";

// A top-level window standing in for the display settings page.
HWND CreateParent(int clientWidth, int clientHeight) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"ZavTestPreviewParent";
    RegisterClassW(&windowClass);
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowW(L"ZavTestPreviewParent", L"Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = new test::EmptyScreensaver();
        app->SetMode(kModePreview);
        ASSERT_EQ(app->LoadUiStrings(), kOk);
    }
    void TearDown() override {
        if (app) app->DeleteWindows();
        app = nullptr;
        if (parent) DestroyWindow(parent);
    }

    Ref<test::EmptyScreensaver> app;
    HWND parent = nullptr;
};

TEST_F(PreviewTest, WithoutAParentItIsASmallPopUpOfItsOwn) {
    ASSERT_EQ(app->CreateWindows(), kOk);
    HWND preview = app->GetPreviewWindow();
    ASSERT_TRUE(IsWindow(preview));
    EXPECT_TRUE(GetWindowLongW(preview, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(test::WindowRectOf(preview), (std::vector<LONG>{100, 100, 150, 150}));
    EXPECT_EQ(app->DeleteWindows(), kOk);
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_FALSE(test::ClassExists(kPreviewClass));
}

TEST_F(PreviewTest, InsideAParentItFillsTheClientArea) {
    parent = CreateParent(152, 112);
    ASSERT_TRUE(parent);
    app->SetParentWindow(parent);
    ASSERT_EQ(app->CreateWindows(), kOk);
    HWND preview = app->GetPreviewWindow();
    EXPECT_EQ(GetParent(preview), parent);
    EXPECT_TRUE(GetWindowLongW(preview, GWL_STYLE) & WS_CHILD);
    RECT client;
    GetClientRect(preview, &client);
    EXPECT_EQ(client.right, 152);
    EXPECT_EQ(client.bottom, 112);
}

HWND gParentToClose = nullptr;

TEST_F(PreviewTest, LoopPaintsWithoutThePictureAndEndsWhenTheParentCloses) {
    parent = CreateParent(152, 112);
    app->SetParentWindow(parent);
    ASSERT_EQ(app->CreateWindows(), kOk);
    test::LogCapture capture;
    for (int i = 0; i < 3; ++i) {
        InvalidateRect(app->GetPreviewWindow(), nullptr, FALSE);
        UpdateWindow(app->GetPreviewWindow());
    }
    HDC screen = GetDC(app->GetPreviewWindow());
    EXPECT_EQ(GetPixel(screen, 10, 10) & 0xFFFFFF, RGB(0, 0, 0));  // no picture yet: black
    ReleaseDC(app->GetPreviewWindow(), screen);
    gParentToClose = parent;
    SetTimer(nullptr, 0, 800, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        DestroyWindow(gParentToClose);
    });
    app->SetRunning();
    DWORD started = GetTickCount();
    EXPECT_EQ(app->RunPreviewLoop(), kOk);
    EXPECT_LT(GetTickCount() - started, 5000u);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(app->IsRunning());
    parent = nullptr;
    int missing = 0;
    for (const std::string& text : capture.Texts()) missing += text == kMissingPicture;
    EXPECT_EQ(missing, 1);  // looked for once, not at every paint
    EXPECT_EQ(app->DeleteWindows(), kOk);
    EXPECT_FALSE(test::ClassExists(kPreviewClass));
}

TEST_F(PreviewTest, PaintsThePreviewPictureFromTheFileTreeStretchedOverTheWindow) {
    ASSERT_EQ(EngineInit(), kOk);
    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "preview.bmp", test::SolidBmp(76, 56, '\x60')));

    parent = CreateParent(152, 112);
    app->SetParentWindow(parent);
    ASSERT_EQ(app->CreateWindows(), kOk);
    test::LogCapture capture;
    const int temporaryBefore = test::CountTemporaryPictures();
    for (int i = 0; i < 3; ++i) {
        InvalidateRect(app->GetPreviewWindow(), nullptr, FALSE);
        UpdateWindow(app->GetPreviewWindow());
    }
    // Stretched over the whole client area.
    HDC screen = GetDC(app->GetPreviewWindow());
    EXPECT_EQ(GetPixel(screen, 2, 2) & 0xFFFFFF, RGB(0x60, 0x60, 0x60));
    EXPECT_EQ(GetPixel(screen, 149, 109) & 0xFFFFFF, RGB(0x60, 0x60, 0x60));
    ReleaseDC(app->GetPreviewWindow(), screen);
    EXPECT_EQ(test::CountTemporaryPictures(), temporaryBefore);
    for (const auto& line : capture.Lines()) EXPECT_EQ(line.level, kLogInfo) << line.text;
    EXPECT_EQ(app->DeleteWindows(), kOk);
    EXPECT_EQ(EngineShutdown(), kOk);
}

TEST(PreviewPicture, DecodedToTheWindowSizeWithoutLeavingTemporaryFiles) {
    int before = test::CountTemporaryPictures();
    HBITMAP picture = DecodePreviewPicture(test::SolidBmp(4, 2), 50, 40);
    ASSERT_NE(picture, nullptr);
    BITMAP info;
    ASSERT_NE(GetObjectW(picture, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 50);
    EXPECT_EQ(info.bmHeight, 40);
    DeleteObject(picture);
    EXPECT_EQ(DecodePreviewPicture("not a picture", 50, 40), nullptr);
    EXPECT_EQ(DecodePreviewPicture(std::string(), 50, 40), nullptr);
    EXPECT_EQ(test::CountTemporaryPictures(), before);
}

}  // namespace
}  // namespace zav
