// Drawing on the device: coverage, textures the right way up, blending
// back to front, fog, texture transforms and the index checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/core/Log.h"
#include "engine/render/OcclusionQuery.h"
#include "engine/render/Technique.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/TextureEffect.h"
#include "tests/support/LogCapture.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::FixedFunctionTestEffect;
using test::PixelNear;
using test::Rgb;

class DeviceDrawing : public test::DeviceFixture {};

TEST_F(DeviceDrawing, ATriangleCoversThePixelsItShould) {
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("red"));
    Ref<GeometryNode> triangle = Mesh(effect.Get(), {{-1, -1, 5}, {0, 1, 5}, {1, -1, 5}});
    SetColors(*triangle, {1, 0, 0, 1});
    Ref<Image> frame = Frame({triangle.Get()});
    // The base runs from column 19.1 to 44.9 on row 44.9, the apex is at
    // row 19.1.
    const float left = Column(-1, 5), right = Column(1, 5), top = Row(1, 5), bottom = Row(-1, 5);
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, static_cast<int>(bottom) - 1), {255, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, static_cast<int>(top) + 2), {255, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(Pixel(*frame, static_cast<int>(left) + 3, static_cast<int>(bottom) - 1), {255, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, static_cast<int>(top) - 2), {0, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(Pixel(*frame, static_cast<int>(left) + 2, 26), {0, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(Pixel(*frame, static_cast<int>(right) - 2, 26), {0, 0, 0}, 0));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, static_cast<int>(bottom) + 2), {0, 0, 0}, 0));
    int covered = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) covered += Pixel(*frame, x, y).r == 255;
    EXPECT_NEAR(covered, (right - left) * (bottom - top) / 2, 25);
}

TEST_F(DeviceDrawing, APictureAppearsUprightAndEveryTexelLandsInItsPlace) {
    // 3 × 3 (rows need no padding, but the device may pad them): the top row
    // red, green, blue; the rest grey and white.
    Ref<Image> image(new Image("picture", RGB8, 3, 3));
    const uint8_t rows[3][9] = {{200, 200, 200, 255, 255, 255, 200, 200, 200},
                                {255, 255, 255, 200, 200, 200, 255, 255, 255},
                                {255, 0, 0, 0, 255, 0, 0, 0, 255}};  // image row 2 is the top
    std::memcpy(image->GetPixels(), rows, sizeof rows);
    Ref<TextureEffect> effect(new TextureEffect("picture"));
    effect->SetTexture(new Texture("picture", image.Get()));
    // Point sampling, so each texel shows as a block.
    ASSERT_EQ(effect->GetPassCount(*renderer), 1);
    TextureStageState& stage = effect->GetCurrentTechnique()->GetPass(0)->GetRenderState()->stages[0];
    stage.magFilter = 0;
    stage.minFilter = 0;
    // The square covers columns and rows 12 to 52: texel blocks of 13 pixels.
    Ref<GeometryNode> square = Square(effect.Get(), 1.0f, 0.53f);
    Ref<Image> frame = Frame({square.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 18, 18), {255, 0, 0}, 2));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 18), {0, 255, 0}, 2));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 46, 18), {0, 0, 255}, 2));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 18, 32), {255, 255, 255}, 2));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {200, 200, 200}, 2));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 46), {255, 255, 255}, 2));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 46, 46), {200, 200, 200}, 2));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 6, 6), {0, 0, 0}, 0));
}

TEST_F(DeviceDrawing, ATextureWhosePictureChangedSizeIsMadeAgain) {
    Ref<Image> image(new Image("picture", RGB8, 2, 2));
    Ref<Texture> texture(new Texture("texture", image.Get()));
    renderer->BindTexture(texture.Get(), 0);
    ByteBlock bigger;
    ASSERT_TRUE(bigger.Allocate(8 * 4 * 4));
    ASSERT_EQ(image->SetPixels(8, 4, 1, RGBA8, std::move(bigger)), kOk);
    renderer->BindTexture(texture.Get(), 0);
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(device->GetTexture(0, &bound), D3D_OK);
    ASSERT_NE(bound, nullptr);
    D3DSURFACE_DESC desc;
    EXPECT_EQ(static_cast<IDirect3DTexture9*>(bound)->GetLevelDesc(0, &desc), D3D_OK);
    bound->Release();
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Height, 4u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(texture->GetMipLevels(), 4);
    renderer->BindTexture(nullptr, 0);
}

TEST_F(DeviceDrawing, BlendedGeometryComposesBackToFront) {
    Ref<FixedFunctionTestEffect> nearEffect(new FixedFunctionTestEffect("near")),
        farEffect(new FixedFunctionTestEffect("far"));
    for (FixedFunctionTestEffect* effect : {nearEffect.Get(), farEffect.Get()}) effect->SetBlending(true);
    Ref<GeometryNode> nearSquare = Square(nearEffect.Get(), 2.0f, 0.5f), farSquare = Square(farEffect.Get(), 3.0f, 1.0f);
    SetColors(*nearSquare, {0, 1, 0, 0.5f});
    SetColors(*farSquare, {1, 0, 0, 0.5f});
    // Given nearest first; drawn farthest first: green over (red over black).
    Ref<Image> frame = Frame({nearSquare.Get(), farSquare.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {64, 128, 0}, 3));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 16), {128, 0, 0}, 3));  // the far square alone
}

TEST_F(DeviceDrawing, FogThinsWithDistanceByTheExponentialFormulas) {
    const float density = 0.05f, depth = 10.0f;
    for (float exponent : {2.0f, 2.5f}) {
        SCOPED_TRACE(exponent);
        Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("fog"));
        effect->fogColor = {0, 0, 0, 1};
        effect->fogDensity = density;
        effect->fogExponent = exponent;
        effect->SetFog(true);
        Ref<GeometryNode> wall = Square(effect.Get(), depth, 20.0f);
        SetColors(*wall, {1, 1, 1, 1});
        Ref<Image> frame = Frame({wall.Get()});
        // Exponential, or exponential squared above an exponent of 2.
        const float d = density * depth;
        const float f = exponent > 2.0f ? std::exp(-d * d) : std::exp(-d);
        const int expected = static_cast<int>(std::lround(255 * f));
        EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {expected, expected, expected}, 3));
    }
}

TEST_F(DeviceDrawing, TheIdentityTextureMatrixSwitchesTheTransformOff) {
    Matrix4 shift;
    shift.m[3][0] = 0.5f;
    DWORD flags = 0;
    renderer->SetTextureMatrix(2, shift);
    device->GetTextureStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
    EXPECT_EQ(flags, static_cast<DWORD>(D3DTTFF_COUNT3));
    EXPECT_EQ(renderer->GetTextureMatrix(2), shift);
    renderer->SetTextureMatrix(2, Matrix4::Identity());
    device->GetTextureStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
    EXPECT_EQ(flags, static_cast<DWORD>(D3DTTFF_DISABLE));
    Matrix4 almost;
    almost.m[1][2] = 1e-7f;
    renderer->SetTextureMatrix(2, almost);
    device->GetTextureStageState(2, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
    EXPECT_EQ(flags, static_cast<DWORD>(D3DTTFF_COUNT3));
}

// Pixels drawn by `node`, counted by an occlusion query.
int32_t CountPixels(test::DeviceFixture& fixture, D3D9Renderer& renderer, GeometryNode& node) {
    Ref<OcclusionQuery> query(new OcclusionQuery("count"));
    node.UpdateSubtree(0.0, true);
    renderer.Clear(kClearColor | kClearDepth, Color{0, 0, 0, 1}, 1.0f, 0);
    EXPECT_EQ(renderer.BeginRender(), kOk);
    renderer.BeginQuery(query.Get());
    node.Draw(renderer);
    renderer.EndQuery(query.Get());
    renderer.EndRender();
    return query->GetVisiblePixels();
}

TEST_F(DeviceDrawing, IndexCountsGiveTheirPrimitiveCounts) {
    // An effect draws the one node that holds it: one effect per node.
    auto drawn = [this](std::vector<Vector3> positions, int kind) {
        Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("counted"));
        Ref<GeometryNode> node = Mesh(effect.Get(), std::move(positions), {}, kind);
        return CountPixels(*this, *renderer, *node);
    };
    // At depth 2 one pixel is this wide; shapes a whole number of pixels
    // apart rasterise alike.
    const float pixel = 3.0f / (kFocal * kSize / 2);
    // Ten triangles in a row, each its own three indices.
    std::vector<Vector3> separate;
    for (int i = 0; i < 10; ++i) {
        const float x = (-30 + 6 * i) * pixel;
        separate.insert(separate.end(), {{x, -0.5f, 2}, {x + 2.5f * pixel, 0.5f, 2}, {x + 5 * pixel, -0.5f, 2}});
    }
    const int32_t single = drawn({separate[0], separate[1], separate[2]}, kPrimitiveTriangles);
    ASSERT_GT(single, 20);
    EXPECT_NEAR(drawn(separate, kPrimitiveTriangles), 10 * single, single / 4);

    // A zig-zag strip of 30 indices (bottom, top, bottom, ...: clockwise
    // first): 28 triangles, fourteen equal squares.
    std::vector<Vector3> zigzag;
    for (int i = 0; i < 15; ++i)
        zigzag.insert(zigzag.end(), {{(-28 + 4 * i) * pixel, -0.5f, 2}, {(-28 + 4 * i) * pixel, 0.5f, 2}});
    const int32_t square = drawn({zigzag[0], zigzag[1], zigzag[2], zigzag[3]}, kPrimitiveTriangleStrip);
    ASSERT_GT(square, 20);
    EXPECT_NEAR(drawn(zigzag, kPrimitiveTriangleStrip), 14 * square, square / 4);
}

TEST_F(DeviceDrawing, IndicesBeyondTheVerticesLeaveTheNodeOutWithOneError) {
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("broken")),
        negativeEffect(new FixedFunctionTestEffect("negative"));
    Ref<GeometryNode> broken = Mesh(effect.Get(), {{-1, -1, 5}, {0, 1, 5}, {1, -1, 5}}, {0, 1, 3});
    Ref<GeometryNode> negative = Mesh(negativeEffect.Get(), {{-1, -1, 5}, {0, 1, 5}, {1, -1, 5}}, {0, -1, 2});
    Ref<FixedFunctionTestEffect> goodEffect(new FixedFunctionTestEffect("good"));
    Ref<GeometryNode> good = Mesh(goodEffect.Get(), {{-1, -1, 5}, {0, 1, 5}, {1, -1, 5}});
    SetColors(*broken, {1, 0, 0, 1});
    SetColors(*good, {0, 0, 1, 1});
    test::LogCapture log;
    Ref<Image> frame;
    for (int i = 0; i < 3; ++i) frame = Frame({broken.Get(), negative.Get(), good.Get()});
    int errors = 0;
    for (const auto& line : log.Lines()) errors += line.level == kLogError;
    EXPECT_EQ(errors, 2);
    EXPECT_TRUE(log.HasPrefix(kLogError, "Индексы узла выходят за пределы его вершин: узел не рисуется. "));
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {0, 0, 255}, 0));  // the good one still draws
}

TEST_F(DeviceDrawing, StagesThatWouldReadAnAbsentTextureAreSwitchedOff) {
    auto opsAfterDrawing = [this](FixedFunctionTestEffect* effect, int stage) {
        Ref<GeometryNode> square = Square(effect, 2.0f, 0.5f);
        SetColors(*square, {1, 1, 1, 1});
        Frame({square.Get()});
        DWORD colorOp = 0;
        device->GetTextureStageState(static_cast<DWORD>(stage), D3DTSS_COLOROP, &colorOp);
        return colorOp;
    };
    // Untextured: every stage would read a texture, so the cascade ends at 0.
    Ref<FixedFunctionTestEffect> plain(new FixedFunctionTestEffect("plain"));
    EXPECT_EQ(opsAfterDrawing(plain.Get(), 0), static_cast<DWORD>(D3DTOP_DISABLE));
    // Textured on stage 0: it modulates, stage 1 ends the cascade.
    Ref<Image> image(new Image("white", RGB8, 1, 1));
    std::memset(image->GetPixels(), 255, 3);
    Ref<FixedFunctionTestEffect> textured(new FixedFunctionTestEffect("textured"));
    textured->texture = new Texture("white", image.Get());
    EXPECT_EQ(opsAfterDrawing(textured.Get(), 0), static_cast<DWORD>(D3DTOP_MODULATE));
    DWORD next = 0;
    device->GetTextureStageState(1, D3DTSS_COLOROP, &next);
    EXPECT_EQ(next, static_cast<DWORD>(D3DTOP_DISABLE));
    // A stage that only combines the constant colour stays on: here stage 0
    // adds the constant to the vertex colour without any texture.
    Ref<FixedFunctionTestEffect> constant(new FixedFunctionTestEffect("constant"));
    constant->adjustState = [](RenderStateBlock& state) {
        TextureStageState& stage = state.stages[0];
        stage.combineMode = TextureStageState::kCombine;
        stage.colorOp = TextureStageState::kOpAdd;
        stage.colorSource0 = TextureStageState::kSourcePrimary;
        stage.colorSource1 = TextureStageState::kSourceConstant;
        stage.alphaOp = TextureStageState::kOpReplace;
        stage.alphaSource0 = TextureStageState::kSourcePrimary;
        stage.constantColor = {0, 0, 0.5f, 1};
    };
    EXPECT_EQ(opsAfterDrawing(constant.Get(), 0), static_cast<DWORD>(D3DTOP_ADD));
    device->GetTextureStageState(1, D3DTSS_COLOROP, &next);
    EXPECT_EQ(next, static_cast<DWORD>(D3DTOP_DISABLE));
}

}  // namespace
}  // namespace zav
