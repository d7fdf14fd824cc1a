// The overlays on the device: the loading screen's corners at their pixel
// sizes, the characters of the frame rate and the clock in the cells their
// texts are placed in, the CustomData pictures at their drawn size, and the
// veil over the scene, read back by pixel.
#include <gtest/gtest.h>

#include "app/ScreenOverlays.h"
#include "engine/files/CodecManager.h"
#include "engine/files/FileManager.h"
#include "engine/render/effects/ColorEffect.h"
#include "tests/support/VirtualFiles.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::DeviceFixture;
using test::PixelNear;
using test::Rgb;

// Reads every frame back just before it is presented.
class FrameKeepingRenderer : public D3D9Renderer {
public:
    Ref<Image> presented;
    int EndFrame() override {
        presented = new Image("presented");
        ReadBackBuffer(*presented);
        DeviceFixture::KeepFrame(*presented);
        return D3D9Renderer::EndFrame();
    }
};

class DeviceOverlays : public test::DeviceFixture {
protected:
    DeviceOverlays() {
        frameWidth = 320;
        frameHeight = 240;
    }
    D3D9Renderer* MakeRenderer() override { return keeper = new FrameKeepingRenderer(); }
    void SetUp() override {
        DeviceFixture::SetUp();
        for (const char* codec : {"JPGImageCodec", "TGAImageCodec", "RAR2FileCodec"})
            ASSERT_EQ(LoadCodec(codec, nullptr), kOk) << codec;
    }
    void TearDown() override {
        overlays.Release();
        DeviceFixture::TearDown();
    }
    static void Attach(const char* name, int width, int height, const Rgb& color) {
        const test::Rgba texel{static_cast<uint8_t>(color.r), static_cast<uint8_t>(color.g),
                               static_cast<uint8_t>(color.b), 255};
        ASSERT_TRUE(test::AttachDataFile("Pictures", name, test::SolidTga(width, height, texel))) << name;
    }
    // The pixel at screen position (x, y), 0 to 1 from the bottom left.
    static Rgb At(const Image& frame, float x, float y) {
        return Pixel(frame, static_cast<int>(x * frame.GetWidth()), static_cast<int>((1 - y) * frame.GetHeight()));
    }
    // Pixels brighter than 40 in the screen rectangle [x0, x1) × [y0, y1).
    static int Lit(const Image& frame, float x0, float y0, float x1, float y1) {
        int lit = 0;
        for (int y = static_cast<int>((1 - y1) * frame.GetHeight()); y < (1 - y0) * frame.GetHeight(); ++y)
            for (int x = static_cast<int>(x0 * frame.GetWidth()); x < x1 * frame.GetWidth(); ++x) {
                const Rgb p = Pixel(frame, x, y);
                lit += p.r > 40 || p.g > 40 || p.b > 40;
            }
        return lit;
    }
    static OverlayFrame ClockAndRate() {
        OverlayFrame shown;
        shown.showFps = shown.showTime = shown.hour24 = true;
        shown.fps = 59.2;
        shown.time = {13, 0, 0};
        return shown;
    }

    FrameKeepingRenderer* keeper = nullptr;
    ScreenOverlays overlays;
};

TEST_F(DeviceOverlays, TheLoadingScreenPutsTheCornersAtTheirPixelSizesAndSkipsOnesWithoutPictures) {
    const struct {
        const char* file;
        int width, height;
        Rgb color;
        int x, y;  // the corner's own pixel, from the top left
    } corners[] = {{"4loader_ld.tga", 32, 16, {255, 0, 0}, 0, 239},
                   {"4loader_rd.tga", 16, 32, {0, 0, 255}, 319, 239},
                   {"4loader_lu.tga", 24, 24, {255, 255, 0}, 0, 0}};
    for (const auto& c : corners) Attach(c.file, c.width, c.height, c.color);
    ASSERT_TRUE(test::AttachDataFile("Pictures", "4loader_ru.tga", "not a picture"));
    ASSERT_EQ(overlays.Create(), kOk);
    ASSERT_EQ(overlays.ShowLoadingScreen(*renderer), kOk);
    ASSERT_NE(keeper->presented.Get(), nullptr);
    // Without a loading picture the clear colour (green) shows around them,
    // and where the corner without a picture would be.
    const Image& frame = *keeper->presented;
    const Rgb green{0, 255, 0};
    EXPECT_TRUE(PixelNear(Pixel(frame, 160, 120), green, 2));
    EXPECT_TRUE(PixelNear(Pixel(frame, 319, 0), green, 2));
    EXPECT_EQ(overlays.GetCornerTexture(ScreenOverlays::kLeftBottom), nullptr);  // dropped after the frame
    EXPECT_EQ(renderer->GetCamera(), nullptr);
    for (const auto& c : corners) {
        const int inward = c.x == 0 ? 1 : -1, downward = c.y == 0 ? 1 : -1;
        // The far pixels of the picture, and the ones just past them.
        EXPECT_TRUE(PixelNear(Pixel(frame, c.x + inward * (c.width - 1), c.y + downward * (c.height - 1)), c.color, 4))
            << c.file;
        EXPECT_TRUE(PixelNear(Pixel(frame, c.x + inward * c.width, c.y), green, 4)) << c.file;
        EXPECT_TRUE(PixelNear(Pixel(frame, c.x, c.y + downward * c.height), green, 4)) << c.file;
    }
}

TEST_F(DeviceOverlays, TheFrameRateTopLeftAndTheClockBottomRightFillTheirCells) {
    const struct {
        const char* file;
        char character;
        Rgb color;
    } characters[] = {{"digit_1.tga", '1', {255, 0, 0}},
                      {"digit_3.tga", '3', {0, 255, 0}},
                      {"digit_ddot.tga", ':', {0, 0, 255}},
                      {"digit_0.tga", '0', {255, 255, 0}},
                      {"digit_6.tga", '6', {255, 0, 255}}};
    for (const auto& c : characters) Attach(c.file, 8, 16, c.color);
    auto colorOf = [&characters](char character) {
        for (const auto& c : characters)
            if (c.character == character) return c.color;
        return Rgb{};
    };
    ASSERT_EQ(overlays.Create(), kOk);
    Ref<Image> frame = Frame([&] { overlays.Draw(*renderer, ClockAndRate()); });
    const float w = ScreenOverlays::kCharacterWidth, h = ScreenOverlays::kCharacterHeight;
    // The middle of each cell: "60" from (0.009375, 0.9), "13:00:00" from
    // (0.68125, 0.025).
    EXPECT_TRUE(PixelNear(At(*frame, 0.009375f + w / 2, 0.9f + h / 2), colorOf('6'), 4));
    EXPECT_TRUE(PixelNear(At(*frame, 0.009375f + 1.5f * w, 0.9f + h / 2), colorOf('0'), 4));
    const char clock[] = "13:00:00";
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(PixelNear(At(*frame, 0.68125f + (i + 0.5f) * w, 0.025f + h / 2), colorOf(clock[i]), 4)) << i;
    // Nothing outside the cells.
    EXPECT_EQ(Lit(*frame, 0, 0, 0.675f, 0.89f), 0);
    EXPECT_EQ(Lit(*frame, 0, 0, 1, 0.02f), 0);
    EXPECT_EQ(Lit(*frame, 0.985f, 0, 1, 1), 0);
    EXPECT_EQ(Lit(*frame, 0.1f, 0.12f, 1, 1), 0);
}

// The screensaver's own pictures on the screen size they are made for.
class DeviceCustomData : public DeviceOverlays {
protected:
    DeviceCustomData() {
        frameWidth = 1024;
        frameHeight = 768;
    }
};

TEST_F(DeviceCustomData, TheCustomDataPicturesShowAtTheirDrawnSize) {
    ASSERT_EQ(MountResourceArchive(134, "CustomData.rar2", ""), kOk);
    ASSERT_EQ(overlays.Create(), kOk);
    ASSERT_EQ(overlays.ShowLoadingScreen(*renderer), kOk);
    ASSERT_NE(keeper->presented.Get(), nullptr);
    // The loading picture covers the green of the clear; gold lies in each
    // corner's 128 × 128 square.
    const Image& loading = *keeper->presented;
    for (int y = 0; y < 768; y += 48)
        for (int x = 0; x < 1024; x += 64) EXPECT_FALSE(PixelNear(Pixel(loading, x, y), {0, 255, 0}, 60)) << x << ", " << y;
    for (int corner = 0; corner < 4; ++corner) {
        int gold = 0;
        for (int y = corner < 2 ? 640 : 0, top = y; y < top + 128; ++y)
            for (int x = corner % 2 ? 896 : 0, left = x; x < left + 128; ++x) {
                const Rgb p = Pixel(loading, x, y);
                gold += p.r > 150 && p.r > p.b + 60;
            }
        EXPECT_GT(gold, 100) << corner;
    }
    // Each cell of "60" and "13:00:00" shows its character, and nothing is
    // drawn outside them.
    Ref<Image> frame = Frame([&] { overlays.Draw(*renderer, ClockAndRate()); });
    const float w = ScreenOverlays::kCharacterWidth, h = ScreenOverlays::kCharacterHeight;
    for (int i = 0; i < 2; ++i) EXPECT_GT(Lit(*frame, 0.009375f + i * w, 0.9f, 0.009375f + (i + 1) * w, 0.9f + h), 60);
    for (int i = 0; i < 8; ++i)
        EXPECT_GT(Lit(*frame, 0.68125f + i * w, 0.025f, 0.68125f + (i + 1) * w, 0.025f + h), 20) << i;
    EXPECT_EQ(Lit(*frame, 0, 0, 0.68f, 0.89f), 0);
    EXPECT_EQ(Lit(*frame, 0.09f, 0.11f, 1, 1), 0);
    EXPECT_EQ(Lit(*frame, 0.983f, 0, 1, 1), 0);
}

TEST_F(DeviceOverlays, TheVeilDarkensTheSceneByItsOpacity) {
    ASSERT_EQ(overlays.Create(), kOk);
    Ref<ColorEffect> white(new ColorEffect("white"));
    Ref<GeometryNode> scene = Square(white.Get(), 3.0f, 10.0f);
    scene->UpdateSubtree(0.0, true);
    Ref<ColorEffect> veil(new ColorEffect("veil"));
    veil->SetBlending(true);
    const std::pair<float, int> cases[] = {{1.0f, 0}, {0.5f, 128}, {0.0f, 255}, {1.6f, 0}};
    for (const auto& c : cases) {
        Ref<Image> frame = Frame([&] {
            scene->Draw(*renderer);
            overlays.DrawVeil(*renderer, *veil, c.first);
        });
        const Rgb expected{c.second, c.second, c.second};
        for (int x : {2, 160, 317}) EXPECT_TRUE(PixelNear(Pixel(*frame, x, x * 3 / 4), expected, 3)) << c.first;
    }
    EXPECT_EQ(renderer->GetCamera(), camera.Get());
}

}  // namespace
}  // namespace zav
