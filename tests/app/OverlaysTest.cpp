// The overlays: the clock's and the frame rate's texts and places and the
// characters drawn cell by cell, on a renderer without a device that notes
// where each draw lands. (The loading screen and the veil: the device tests.)
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/ScreenOverlays.h"
#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/scene/TransformMath.h"
#include "tests/support/RecordingRenderer.h"
#include "tests/support/VirtualFiles.h"

namespace zav {
namespace {

constexpr float kW = ScreenOverlays::kCharacterWidth;

// Where a draw put the unit square, in screen units (0 to 1 from the
// bottom left), and what it drew with.
struct QuadDraw {
    float left, bottom, right, top;
    const BaseTexture* texture;
    Color color;
};

class QuadRecorder : public test::RecordingRenderer {
public:
    std::vector<QuadDraw> draws;
    void DrawCurrent() override {
        RecordingRenderer::DrawCurrent();
        GeometryNode* node = GetCurrentNode();
        const Matrix4 toClip = Multiply(ToMatrix(node->GetWorldTransform()), GetCamera()->GetViewProjection());
        const Vector3 low = TransformCoordinate(toClip, {0, 0, 0}), high = TransformCoordinate(toClip, {1, 1, 0});
        auto* textured = ObjectCast<TextureEffect>(node->GetEffect());
        draws.push_back({(low.x + 1) / 2, (low.y + 1) / 2, (high.x + 1) / 2, (high.y + 1) / 2,
                         textured ? textured->GetTexture() : nullptr,
                         ObjectCast<ColorEffect>(node->GetEffect())->GetColor()});
    }
};

class Overlays : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        ASSERT_EQ(LoadCodec("TGAImageCodec", nullptr), kOk);
        renderer = new QuadRecorder();
        MakeRendererCurrent(renderer.Get());
        renderer->SetCamera(scene.Get());
    }
    void TearDown() override {
        overlays.Release();
        renderer->SetCurrentNode(nullptr);
        renderer->SetCamera(nullptr);
        renderer->ReleaseAll();
        MakeRendererCurrent(nullptr);
        renderer = nullptr;
        EXPECT_EQ(EngineShutdown(), kOk);
    }
    // Every character picture (4 × 8), then the overlays made.
    void CreateWithCharacters() {
        for (const char* name : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "dot", "ddot", "a", "p", "m"})
            ASSERT_TRUE(test::AttachDataFile("CustomData.rar2", (std::string("digit_") + name + ".tga").c_str(),
                                             test::SolidTga(4, 8, {200, 0, 0, 255})));
        ASSERT_EQ(overlays.Create(), kOk);
        renderer->draws.clear();
    }
    // The characters the draws showed, told by their textures.
    std::string DrawnText() const {
        std::string text;
        for (const QuadDraw& draw : renderer->draws)
            for (char c : std::string("0123456789.:apm"))
                if (draw.texture && draw.texture == overlays.GetCharacterTexture(c)) text += c;
        return text;
    }

    Ref<QuadRecorder> renderer;
    Ref<Camera> scene{new Camera("scene camera")};
    ScreenOverlays overlays;
};

TEST(OverlayTexts, TheClockInBothFormsAndTheFrameRateRoundedUp) {
    const struct {
        ClockTime time;
        bool hour24;
        const char* text;
        float x;
    } cases[] = {{{0, 5, 9}, false, "0:05:09 am ", 0.60625f}, {{13, 0, 0}, false, "1:00:00 pm ", 0.60625f},
                 {{13, 0, 0}, true, "13:00:00", 0.68125f},    {{12, 30, 45}, false, "12:30:45 pm ", 0.56875f},
                 {{9, 10, 0}, true, "9:10:00", 0.71875f}};
    for (const auto& c : cases) {
        EXPECT_EQ(ClockText(c.time, c.hour24).text, c.text);
        EXPECT_NEAR(ClockText(c.time, c.hour24).x, c.x, 1e-6f) << c.text;
    }
    EXPECT_EQ(FrameRateText(59.2), "60");
    EXPECT_EQ(FrameRateText(60.0), "60");
    EXPECT_EQ(FrameRateText(std::nan("")), "0");
}

TEST_F(Overlays, TextAdvancesACellPerCharacterAndHalfACellPerSpace) {
    CreateWithCharacters();
    renderer->SetCamera(overlays.GetCamera());
    overlays.GetCamera()->SetViewProjection(ScreenOverlays::UnitSquareProjection());
    ASSERT_EQ(overlays.DrawText(*renderer, "1 2:-3", 0.1f, 0.2f, 0.05f, 0.1f), kOk);
    // '-' has no picture: it takes its cell and draws nothing.
    EXPECT_EQ(DrawnText(), "12:3");
    const float starts[] = {0.1f, 0.175f, 0.225f, 0.325f};
    ASSERT_EQ(renderer->draws.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(renderer->draws[i].left, starts[i], 1e-5f) << i;
        EXPECT_NEAR(renderer->draws[i].right, starts[i] + 0.05f, 1e-5f) << i;
        EXPECT_NEAR(renderer->draws[i].bottom, 0.2f, 1e-5f);
        EXPECT_NEAR(renderer->draws[i].top, 0.3f, 1e-5f);
    }
    EXPECT_EQ(renderer->GetDeferredCount(), 0);  // each one flushed before the next
}

TEST_F(Overlays, TheFrameRateTopLeftAndTheClockBottomRightThroughTheirOwnCamera) {
    CreateWithCharacters();
    OverlayFrame frame;
    frame.showFps = frame.showTime = frame.hour24 = true;
    frame.fps = 59.2;
    frame.time = {13, 0, 0};
    EXPECT_EQ(overlays.Draw(*renderer, frame), kOk);
    EXPECT_EQ(DrawnText(), "6013:00:00");
    ASSERT_EQ(renderer->draws.size(), 10u);
    EXPECT_NEAR(renderer->draws[0].left, 0.009375f, 1e-5f);
    EXPECT_NEAR(renderer->draws[0].bottom, 0.9f, 1e-5f);
    EXPECT_NEAR(renderer->draws[2].left, 0.68125f, 1e-5f);
    EXPECT_NEAR(renderer->draws[2].bottom, 0.025f, 1e-5f);
    EXPECT_NEAR(renderer->draws[9].right, 1.0f - 0.01875f, 1e-5f);
    EXPECT_EQ(renderer->draws[9].color.a, 1.0f);
    EXPECT_EQ(renderer->GetCamera(), scene.Get());
    // 12-hour: the trailing space, half a cell after the m, ends there.
    frame.showFps = frame.hour24 = false;
    renderer->draws.clear();
    overlays.Draw(*renderer, frame);
    EXPECT_EQ(DrawnText(), "1:00:00pm");
    EXPECT_NEAR(renderer->draws.back().right, 1.0f - 0.01875f - kW / 2, 1e-5f);
    // Both off: nothing drawn, but the overlay camera was set up and the
    // scene's is current again.
    frame.showTime = false;
    overlays.GetCamera()->SetProjection(Matrix4::Identity());
    renderer->calls.clear();
    overlays.Draw(*renderer, frame);
    EXPECT_TRUE(renderer->CallsStartingWith("Draw").empty());
    EXPECT_TRUE(overlays.GetCamera()->GetProjection() == ScreenOverlays::UnitSquareProjection());
    EXPECT_EQ(renderer->GetCamera(), scene.Get());
}

}  // namespace
}  // namespace zav
