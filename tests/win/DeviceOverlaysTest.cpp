// The overlays on the device: the loading screen's pictures at their pixel
// sizes, the frame rate's and the clock's characters in the cells their
// texts are placed in, the CustomData pictures at their drawn size, and the
// veil over the scene, read back by pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/ScreenOverlays.h"
#include "engine/files/Codec.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/platform/Platform.h"
#include "engine/render/effects/ColorEffect.h"
#include "tests/support/VirtualFiles.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::PixelNear;
using test::Rgb;

// Reads every frame back just before it is presented.
class FrameKeepingRenderer : public D3D9Renderer {
public:
    Ref<Image> presented;
    int EndFrame() override {
        presented = new Image("presented");
        ReadBackBuffer(*presented);
        return D3D9Renderer::EndFrame();
    }
};

// A JPEG file of one colour, made by the engine's own encoder.
std::string SolidJpeg(int width, int height, Rgb color) {
    Ref<Image> image(new Image("solid", RGB8, width, height));
    for (int i = 0; i < width * height; ++i) {
        uint8_t* texel = image->GetPixels() + 3 * i;
        texel[0] = static_cast<uint8_t>(color.r);
        texel[1] = static_cast<uint8_t>(color.g);
        texel[2] = static_cast<uint8_t>(color.b);
    }
    const std::string stem = platform::CreateTempFile("ZAV");
    const std::string path = stem + ".jpg";
    std::string bytes;
    {
        File file(path.c_str());
        ImageCodec* codec = FindCodecForFile<ImageCodec>(&file);
        if (codec && codec->EncodeImage(&file, image.Get()) == 0) {
            if (std::FILE* written = platform::OpenFile(path.c_str(), "rb")) {
                char buffer[4096];
                size_t count;
                while ((count = std::fread(buffer, 1, sizeof buffer, written)) > 0) bytes.append(buffer, count);
                std::fclose(written);
            }
        }
    }
    platform::RemoveFile(path.c_str());
    platform::RemoveFile(stem.c_str());
    return bytes;
}

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

    static void Attach(const char* name, const std::string& bytes) {
        ASSERT_TRUE(test::AttachDataFile("Pictures", name, bytes)) << name;
    }
    // The frame's pixel at screen position (x, y), 0 to 1 from the bottom
    // left.
    Rgb At(const Image& frame, float x, float y) const {
        return Pixel(frame, static_cast<int>(x * frame.GetWidth()), static_cast<int>((1.0f - y) * frame.GetHeight()));
    }
    // Pixels brighter than `level` in the screen rectangle [x0, x1) × [y0, y1).
    static int Lit(const Image& frame, float x0, float y0, float x1, float y1, int level = 40) {
        int lit = 0;
        const int w = frame.GetWidth(), h = frame.GetHeight();
        for (int py = static_cast<int>((1 - y1) * h); py < static_cast<int>((1 - y0) * h); ++py)
            for (int px = static_cast<int>(x0 * w); px < static_cast<int>(x1 * w); ++px) {
                const Rgb p = Pixel(frame, px, py);
                lit += p.r > level || p.g > level || p.b > level;
            }
        return lit;
    }

    FrameKeepingRenderer* keeper = nullptr;
    ScreenOverlays overlays;
};

TEST_F(DeviceOverlays, TheLoadingScreenShowsTheLoaderWithTheFourCornersAtTheirPixelSizes) {
    Attach("loader.jpg", SolidJpeg(64, 48, {40, 60, 200}));
    Attach("4loader_ld.tga", test::SolidTga(32, 16, {255, 0, 0}));
    Attach("4loader_rd.tga", test::SolidTga(16, 32, {0, 255, 0}));
    Attach("4loader_lu.tga", test::SolidTga(24, 24, {255, 255, 0}));
    Attach("4loader_ru.tga", test::SolidTga(48, 8, {255, 0, 255}));
    ASSERT_EQ(overlays.Create(), kOk);
    ASSERT_EQ(overlays.ShowLoadingScreen(*renderer), kOk);
    ASSERT_NE(keeper->presented, nullptr);
    const Image& frame = *keeper->presented;
    KeepFrame(*keeper->presented);
    const Rgb loader{40, 60, 200};
    EXPECT_TRUE(PixelNear(Pixel(frame, 160, 120), loader, 8));
    // Each corner: inside it at both of its far edges, and just past them.
    EXPECT_TRUE(PixelNear(Pixel(frame, 1, 238), {255, 0, 0}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 30, 225), {255, 0, 0}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 33, 238), loader, 8));
    EXPECT_TRUE(PixelNear(Pixel(frame, 1, 222), loader, 8));
    EXPECT_TRUE(PixelNear(Pixel(frame, 318, 238), {0, 255, 0}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 305, 209), {0, 255, 0}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 302, 238), loader, 8));
    EXPECT_TRUE(PixelNear(Pixel(frame, 318, 206), loader, 8));
    EXPECT_TRUE(PixelNear(Pixel(frame, 1, 1), {255, 255, 0}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 22, 22), {255, 255, 0}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 25, 1), loader, 8));
    EXPECT_TRUE(PixelNear(Pixel(frame, 1, 25), loader, 8));
    EXPECT_TRUE(PixelNear(Pixel(frame, 318, 1), {255, 0, 255}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 273, 6), {255, 0, 255}, 4));
    EXPECT_TRUE(PixelNear(Pixel(frame, 270, 1), loader, 8));
    EXPECT_TRUE(PixelNear(Pixel(frame, 318, 9), loader, 8));
}

TEST_F(DeviceOverlays, TheFrameRateTopLeftAndTheClockBottomRightFillTheirCells) {
    // Every character a picture of a colour of its own.
    const struct {
        const char* file;
        Rgb color;
    } characters[] = {{"digit_1.tga", {255, 0, 0}}, {"digit_3.tga", {0, 255, 0}}, {"digit_ddot.tga", {0, 0, 255}},
                      {"digit_0.tga", {255, 255, 0}}, {"digit_6.tga", {255, 0, 255}}};
    for (const auto& c : characters)
        Attach(c.file, test::SolidTga(8, 16, {static_cast<uint8_t>(c.color.r), static_cast<uint8_t>(c.color.g),
                                              static_cast<uint8_t>(c.color.b)}));
    ASSERT_EQ(overlays.Create(), kOk);
    OverlayFrame shown;
    shown.showFps = shown.showTime = shown.hour24 = true;
    shown.fps = 59.2;
    shown.time = {13, 0, 0};
    Ref<Image> frame = Frame([&] { overlays.Draw(*renderer, shown); });
    const float w = ScreenOverlays::kCharacterWidth, h = ScreenOverlays::kCharacterHeight;
    // "60" from (0.009375, 0.9), "13:00:00" from (0.68125, 0.025): each at
    // the middle of its cell.
    EXPECT_TRUE(PixelNear(At(*frame, 0.009375f + w / 2, 0.9f + h / 2), characters[4].color, 4));
    EXPECT_TRUE(PixelNear(At(*frame, 0.009375f + 1.5f * w, 0.9f + h / 2), characters[3].color, 4));
    const char clock[] = "13:00:00";
    for (int i = 0; i < 8; ++i) {
        const Rgb expected = clock[i] == '1'   ? characters[0].color
                             : clock[i] == '3' ? characters[1].color
                             : clock[i] == ':' ? characters[2].color
                                               : characters[3].color;
        EXPECT_TRUE(PixelNear(At(*frame, 0.68125f + (i + 0.5f) * w, 0.025f + h / 2), expected, 4)) << i;
    }
    // Nothing outside the cells.
    EXPECT_EQ(Lit(*frame, 0.0f, 0.0f, 0.67f, 0.9f - 0.01f), 0);
    EXPECT_EQ(Lit(*frame, 0.0f, 0.0f, 1.0f, 0.02f), 0);
    EXPECT_EQ(Lit(*frame, 0.985f, 0.0f, 1.0f, 1.0f), 0);
    EXPECT_EQ(Lit(*frame, 0.1f, 0.12f, 1.0f, 1.0f), 0);
}

// The screensaver's own pictures on a screen of the size they are made for.
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
    ASSERT_NE(keeper->presented, nullptr);
    KeepFrame(*keeper->presented);
    // The picture covers the green of the clear; the gold corners lie in
    // their 128 × 128 squares.
    const Image& loading = *keeper->presented;
    for (int y = 0; y < 768; y += 96)
        for (int x = 0; x < 1024; x += 128) {
            const Rgb p = Pixel(loading, x, y);
            EXPECT_FALSE(p.g > 200 && p.r < 60 && p.b < 60) << x << ", " << y;
        }
    auto gold = [&loading](int x0, int y0) {
        int count = 0;
        for (int y = y0; y < y0 + 128; ++y)
            for (int x = x0; x < x0 + 128; ++x) {
                const Rgb p = Pixel(loading, x, y);
                count += p.r > 150 && p.r > p.b + 60;
            }
        return count;
    };
    EXPECT_GT(gold(0, 640), 100);
    EXPECT_GT(gold(896, 640), 100);
    EXPECT_GT(gold(0, 0), 100);
    EXPECT_GT(gold(896, 0), 100);

    OverlayFrame shown;
    shown.showFps = shown.showTime = shown.hour24 = true;
    shown.fps = 60;
    shown.time = {13, 0, 0};
    Ref<Image> frame = Frame([&] { overlays.Draw(*renderer, shown); });
    const float w = ScreenOverlays::kCharacterWidth, h = ScreenOverlays::kCharacterHeight;
    // Every cell of "60" and "13:00:00" shows its character; nothing is
    // drawn outside them.
    for (int i = 0; i < 2; ++i) EXPECT_GT(Lit(*frame, 0.009375f + i * w, 0.9f, 0.009375f + (i + 1) * w, 0.9f + h), 60);
    for (int i = 0; i < 8; ++i)
        EXPECT_GT(Lit(*frame, 0.68125f + i * w, 0.025f, 0.68125f + (i + 1) * w, 0.025f + h), 20) << i;
    EXPECT_EQ(Lit(*frame, 0.0f, 0.0f, 0.68f, 0.89f), 0);
    EXPECT_EQ(Lit(*frame, 0.09f, 0.11f, 1.0f, 1.0f), 0);
    EXPECT_EQ(Lit(*frame, 0.0f, 0.0f, 1.0f, 0.02f), 0);
    EXPECT_EQ(Lit(*frame, 0.983f, 0.0f, 1.0f, 1.0f), 0);
}

TEST_F(DeviceOverlays, TheVeilDarkensTheSceneByItsOpacity) {
    ASSERT_EQ(overlays.Create(), kOk);
    Ref<ColorEffect> white(new ColorEffect("white"));
    white->SetColor({1, 1, 1, 1});
    Ref<GeometryNode> scene = Square(white.Get(), 3.0f, 10.0f);
    scene->UpdateSubtree(0.0, true);
    Ref<ColorEffect> veil(new ColorEffect("veil"));
    veil->SetBlending(true);
    const struct {
        float opacity;
        Rgb expected;
    } cases[] = {{1.0f, {0, 0, 0}}, {0.5f, {128, 128, 128}}, {0.0f, {255, 255, 255}}, {1.6f, {0, 0, 0}}};
    for (const auto& c : cases) {
        Ref<Image> frame = Frame([&] {
            scene->Draw(*renderer);
            renderer->FlushDeferred();
            overlays.DrawVeil(*renderer, *veil, c.opacity);
        });
        for (const auto& at : {std::make_pair(2, 2), std::make_pair(160, 120), std::make_pair(317, 237)})
            EXPECT_TRUE(PixelNear(Pixel(*frame, at.first, at.second), c.expected, 3)) << c.opacity;
    }
    EXPECT_EQ(renderer->GetCamera(), camera.Get());
}

}  // namespace
}  // namespace zav
