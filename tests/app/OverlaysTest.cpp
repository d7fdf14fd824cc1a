// The overlays: the clock's and the frame rate's texts and places, the
// characters drawn cell by cell, the loading screen's pictures and the veil,
// on a renderer without a device that records what each draw is given.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/ScreenOverlays.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/scene/TransformMath.h"
#include "tests/support/LogCapture.h"
#include "tests/support/RecordingRenderer.h"
#include "tests/support/VirtualFiles.h"

namespace zav {
namespace {

constexpr float kW = ScreenOverlays::kCharacterWidth;
constexpr float kH = ScreenOverlays::kCharacterHeight;

// One draw of the overlay quad: where the unit square's corners (0, 0) and
// (1, 1) land in clip space, with the texture and colour it was drawn with.
struct QuadDraw {
    float left, bottom, right, top;
    Texture* texture;
    Color color;
};

class QuadRecorder : public test::RecordingRenderer {
public:
    std::vector<QuadDraw> draws;

    void DrawCurrent() override {
        RecordingRenderer::DrawCurrent();
        GeometryNode* node = GetCurrentNode();
        Camera* camera = GetCamera();
        if (!node || !camera) return;
        const Matrix4 toClip = Multiply(ToMatrix(node->GetWorldTransform()), camera->GetViewProjection());
        const Vector3 low = TransformCoordinate(toClip, {0, 0, 0});
        const Vector3 high = TransformCoordinate(toClip, {1, 1, 0});
        auto* effect = ObjectCast<ColorEffect>(node->GetEffect());
        auto* textured = ObjectCast<TextureEffect>(node->GetEffect());
        draws.push_back({low.x, low.y, high.x, high.y, textured ? static_cast<Texture*>(textured->GetTexture()) : nullptr,
                         effect ? effect->GetColor() : Color{}});
    }
};

// Screen units (0 to 1) of a clip-space coordinate.
float Screen(float clip) { return (clip + 1.0f) / 2.0f; }

class Overlays : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        ASSERT_EQ(LoadCodec("TGAImageCodec", nullptr), kOk);
        renderer = new QuadRecorder();
        renderer->SetViewportSize(800, 600);
        MakeRendererCurrent(renderer.Get());
        scene = new Camera("scene camera");
        renderer->SetCamera(scene.Get());
    }
    void TearDown() override {
        overlays.Release();
        renderer->SetCurrentNode(nullptr);
        renderer->SetCamera(nullptr);
        renderer->ReleaseAll();
        MakeRendererCurrent(nullptr);
        renderer = nullptr;
        scene = nullptr;
        EXPECT_EQ(EngineShutdown(), kOk);
    }

    // Every character picture, a 4 × 8 TGA, each of a colour of its own.
    static void AttachCharacters() {
        const char* names[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "dot", "ddot", "a", "p", "m"};
        for (int i = 0; i < 15; ++i) {
            const std::string file = std::string("digit_") + names[i] + ".tga";
            ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", file.c_str(),
                                             test::SolidTga(4, 8, {static_cast<uint8_t>(10 * i), 0, 0, 255})));
        }
    }

    // The characters each draw showed, by their textures.
    std::string DrawnText() const {
        std::string text;
        for (const QuadDraw& draw : renderer->draws)
            for (char c : std::string("0123456789.:apm"))
                if (draw.texture && draw.texture == overlays.GetCharacterTexture(c)) text += c;
        return text;
    }

    Ref<QuadRecorder> renderer;
    Ref<Camera> scene;
    ScreenOverlays overlays;
};

TEST(OverlayTexts, TheClockInBothFormsAndTheFrameRateRoundedUp) {
    const struct {
        ClockTime time;
        bool hour24;
        const char* text;
        float x;
    } cases[] = {
        {{0, 5, 9}, false, "0:05:09 am ", 0.60625f},
        {{13, 0, 0}, false, "1:00:00 pm ", 0.60625f},
        {{13, 0, 0}, true, "13:00:00", 0.68125f},
        {{12, 30, 45}, false, "12:30:45 pm ", 0.56875f},
        {{11, 59, 59}, false, "11:59:59 am ", 0.56875f},
        {{9, 10, 0}, true, "9:10:00", 0.71875f},
    };
    for (const auto& c : cases) {
        const PlacedText placed = ClockText(c.time, c.hour24);
        EXPECT_EQ(placed.text, c.text);
        EXPECT_NEAR(placed.x, c.x, 1e-6f) << c.text;
    }
    EXPECT_EQ(FrameRateText(59.2), "60");
    EXPECT_EQ(FrameRateText(60.0), "60");
    EXPECT_EQ(FrameRateText(0.3), "1");
    EXPECT_EQ(FrameRateText(0.0), "0");
    EXPECT_EQ(FrameRateText(std::nan("")), "0");
}

TEST_F(Overlays, TextAdvancesACellPerCharacterAndHalfACellPerSpace) {
    AttachCharacters();
    ASSERT_EQ(overlays.Create(), kOk);
    // Through the overlay camera, as the overlays draw.
    renderer->SetCamera(overlays.GetCamera());
    overlays.GetCamera()->SetViewProjection(ScreenOverlays::UnitSquareProjection());
    renderer->draws.clear();
    ASSERT_EQ(overlays.DrawText(*renderer, "1 2:m-3", 0.1f, 0.2f, 0.05f, 0.1f), kOk);
    // '-' has no picture: it takes its cell and draws nothing.
    EXPECT_EQ(DrawnText(), "12:m3");
    const float starts[] = {0.1f, 0.175f, 0.225f, 0.275f, 0.375f};
    ASSERT_EQ(renderer->draws.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const QuadDraw& draw = renderer->draws[i];
        EXPECT_NEAR(Screen(draw.left), starts[i], 1e-5f) << i;
        EXPECT_NEAR(Screen(draw.right) - Screen(draw.left), 0.05f, 1e-5f);
        EXPECT_NEAR(Screen(draw.bottom), 0.2f, 1e-5f);
        EXPECT_NEAR(Screen(draw.top), 0.3f, 1e-5f);
    }
    // Each character is flushed before the next: nothing stays deferred.
    EXPECT_EQ(renderer->GetDeferredCount(), 0);
}

TEST_F(Overlays, TheFrameRateTopLeftAndTheClockBottomRightThroughTheirCamera) {
    AttachCharacters();
    ASSERT_EQ(overlays.Create(), kOk);
    OverlayFrame frame;
    frame.showFps = true;
    frame.fps = 59.2;
    frame.showTime = true;
    frame.hour24 = true;
    frame.time = {13, 0, 0};
    renderer->draws.clear();
    EXPECT_EQ(overlays.Draw(*renderer, frame), kOk);
    EXPECT_EQ(DrawnText(), "6013:00:00");
    ASSERT_EQ(renderer->draws.size(), 10u);
    EXPECT_NEAR(Screen(renderer->draws[0].left), 0.009375f, 1e-5f);
    EXPECT_NEAR(Screen(renderer->draws[0].bottom), 0.9f, 1e-5f);
    EXPECT_NEAR(Screen(renderer->draws[1].left), 0.009375f + kW, 1e-5f);
    EXPECT_NEAR(Screen(renderer->draws[2].left), 0.68125f, 1e-5f);
    EXPECT_NEAR(Screen(renderer->draws[2].bottom), 0.025f, 1e-5f);
    EXPECT_NEAR(Screen(renderer->draws[2].top), 0.025f + kH, 1e-5f);
    // The clock's last cell ends 0.01875 short of the right edge.
    EXPECT_NEAR(Screen(renderer->draws[9].right), 1.0f - 0.01875f, 1e-5f);
    for (const QuadDraw& draw : renderer->draws) EXPECT_EQ(draw.color.a, 1.0f);
    EXPECT_EQ(renderer->GetCamera(), scene.Get());

    // The 12-hour clock ends in the same place with its trailing space (half
    // a cell after the m).
    frame.showFps = false;
    frame.hour24 = false;
    renderer->draws.clear();
    overlays.Draw(*renderer, frame);
    EXPECT_EQ(DrawnText(), "1:00:00pm");
    EXPECT_NEAR(Screen(renderer->draws.front().left), 0.60625f, 1e-5f);
    EXPECT_NEAR(Screen(renderer->draws.back().right), 1.0f - 0.01875f - kW / 2, 1e-5f);
}

TEST_F(Overlays, WithBothOverlaysOffNothingIsDrawnButTheCamerasSwitch) {
    AttachCharacters();
    ASSERT_EQ(overlays.Create(), kOk);
    OverlayFrame frame;
    frame.fps = 60;
    overlays.GetCamera()->SetProjection(Matrix4::Identity());
    renderer->calls.clear();
    EXPECT_EQ(overlays.Draw(*renderer, frame), kOk);
    EXPECT_TRUE(renderer->CallsStartingWith("Draw").empty());
    // The overlay camera was set up for the unit square, and the scene's is
    // current again.
    EXPECT_TRUE(overlays.GetCamera()->GetProjection() == ScreenOverlays::UnitSquareProjection());
    EXPECT_EQ(renderer->GetCamera(), scene.Get());
}

TEST_F(Overlays, TheLoadingScreenCoversTheScreenAndPutsEachCornerAtItsPixelSize) {
    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "loader.jpg", "a JPEG that no codec reads here"));
    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "4loader_ld.tga", test::SolidTga(80, 60, {255, 0, 0})));
    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "4loader_rd.tga", test::SolidTga(40, 120, {0, 255, 0})));
    // No left-top corner at all; the right-top one has no picture.
    ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", "4loader_ru.tga", "not a picture"));
    test::LogCapture log;
    ASSERT_EQ(overlays.Create(), kOk);
    EXPECT_TRUE(log.Has(kLogInfo, "LoadingTexture Loaded"));
    EXPECT_TRUE(log.Has(kLogWarning, "Невозможно найти файл изображения [4loader_lu.tga]."));
    renderer->draws.clear();
    renderer->calls.clear();
    ASSERT_EQ(overlays.ShowLoadingScreen(*renderer), kOk);
    // The loading picture did not decode: only the two corners with
    // pictures are drawn, at 80 × 60 and 40 × 120 pixels of 800 × 600.
    ASSERT_EQ(renderer->draws.size(), 2u);
    const QuadDraw& leftBottom = renderer->draws[0];
    EXPECT_NEAR(Screen(leftBottom.left), 0.0f, 1e-5f);
    EXPECT_NEAR(Screen(leftBottom.bottom), 0.0f, 1e-5f);
    EXPECT_NEAR(Screen(leftBottom.right), 0.1f, 1e-5f);
    EXPECT_NEAR(Screen(leftBottom.top), 0.1f, 1e-5f);
    const QuadDraw& rightBottom = renderer->draws[1];
    EXPECT_NEAR(Screen(rightBottom.left), 0.95f, 1e-5f);
    EXPECT_NEAR(Screen(rightBottom.right), 1.0f, 1e-5f);
    EXPECT_NEAR(Screen(rightBottom.top), 0.2f, 1e-5f);
    // One frame, cleared first, presented; then the loading pictures go and
    // no camera is current.
    EXPECT_EQ(renderer->CallsStartingWith("Clear").size(), 1u);
    EXPECT_EQ(renderer->CallsStartingWith("EndFrame").size(), 1u);
    EXPECT_EQ(renderer->lastClearColor.g, 1.0f);
    EXPECT_EQ(overlays.GetLoaderTexture(), nullptr);
    for (int corner = 0; corner < ScreenOverlays::kCorners; ++corner)
        EXPECT_EQ(overlays.GetCornerTexture(corner), nullptr);
    EXPECT_EQ(overlays.GetEffect()->GetTexture(), nullptr);
    EXPECT_EQ(renderer->GetCamera(), nullptr);
}

TEST_F(Overlays, TheLoadingScreenFailsOnlyWhenTheFrameCannotBegin) {
    ASSERT_EQ(overlays.Create(), kOk);
    renderer->beginFrameResult = kFailed;
    test::LogCapture log;
    EXPECT_EQ(overlays.ShowLoadingScreen(*renderer), kFailed);
    EXPECT_TRUE(log.Has(kLogError, "Неудачно начало рендеринга."));
}

TEST_F(Overlays, TheVeilCoversTheScreenInBlackAtItsOpacityThenTheQuadIsItsOwnAgain) {
    ASSERT_EQ(overlays.Create(), kOk);
    Ref<ColorEffect> veil(new ColorEffect("veil"));
    veil->SetBlending(true);
    for (float opacity : {0.5f, 1.7f, -0.2f}) {
        renderer->draws.clear();
        overlays.DrawVeil(*renderer, *veil, opacity);
        ASSERT_EQ(renderer->draws.size(), 1u);
        const QuadDraw& draw = renderer->draws[0];
        EXPECT_NEAR(draw.left, -1.0f, 1e-5f);
        EXPECT_NEAR(draw.top, 1.0f, 1e-5f);
        EXPECT_EQ(draw.color.r, 0.0f);
        EXPECT_EQ(draw.color.a, opacity > 1 ? 1.0f : opacity < 0 ? 0.0f : opacity);
    }
    EXPECT_EQ(overlays.GetQuad()->GetEffect(), overlays.GetEffect());
    EXPECT_EQ(renderer->GetCamera(), scene.Get());
}

}  // namespace
}  // namespace zav
